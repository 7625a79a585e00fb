// The statement the daily form sends with every quantity ticked, for the benchmarks.
#pragma once

#include "daily/dailystatement.h"

#include <QString>

namespace bench {

// The whole statement under `where` (without the word): the form's own select list.
inline QString dailySelect(const QString& where) {
    std::array<int, daily::kQuantityCount> boxes;
    boxes.fill(forms::kTicked);
    return QStringLiteral("select %1 from  database1 where %2").arg(daily::dailyFields(boxes), where);
}

}  // namespace bench
