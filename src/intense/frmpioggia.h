// Placeholder until the window lands; the main window's menu needs the type.
#pragma once

#include "form.h"

class frmPioggia : public db::Form {};
