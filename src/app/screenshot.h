// For the build and test scripts only: ALTORRA_SCREENSHOT=FILE.png saves a picture of the main
// window once it is shown and ends the program; with ALTORRA_SCREENSHOT_OF=informazioni (or esci)
// that menu command is chosen first and the window it opens is saved instead.
#pragma once

class frmApertura;

namespace startup {

// Does nothing unless ALTORRA_SCREENSHOT is set.
void arrangeScreenshotFromEnvironment(frmApertura* main);

}  // namespace startup
