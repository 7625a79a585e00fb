#include "chart/figure.h"

#include <algorithm>
#include <cmath>

namespace chart {

namespace colours {
QColor maximum() {
    return QColor(0xd6, 0x27, 0x28);
}
QColor minimum() {
    return QColor(0x1f, 0x5f, 0xc8);
}
QColor mean() {
    return QColor(0x4d, 0x4d, 0x4d);
}
QColor rain() {
    return QColor(0x3a, 0x86, 0xd8);
}
QColor snow() {
    return QColor(0x9d, 0xb4, 0xcc);
}
QColor palette(int index) {
    // Neither red, blue nor grey: those are the temperatures' and the rain's.
    static const QColor kColours[] = {
        QColor(0x2c, 0xa0, 0x2c), QColor(0xff, 0x7f, 0x0e), QColor(0x94, 0x67, 0xbd),
        QColor(0x8c, 0x56, 0x4b), QColor(0xe3, 0x77, 0xc2), QColor(0xbc, 0xbd, 0x22),
        QColor(0x17, 0xbe, 0xcf), QColor(0x63, 0x79, 0x39), QColor(0x84, 0x3c, 0x39),
        QColor(0x7b, 0x41, 0x73), QColor(0xe7, 0xba, 0x52), QColor(0x39, 0x3b, 0x79)};
    constexpr int count = int(sizeof(kColours) / sizeof(kColours[0]));
    return kColours[((index % count) + count) % count];
}
}  // namespace colours

QString axisTitle(const YAxis& axis) {
    if (axis.unit.isEmpty()) {
        return axis.title;
    }
    return axis.title.isEmpty() ? axis.unit : QStringLiteral("%1 (%2)").arg(axis.title, axis.unit);
}

const YAxis* axisOf(const Panel& panel, const Series& series) {
    for (const YAxis& axis : panel.axes) {
        if (axis.id == series.axis) {
            return &axis;
        }
    }
    return panel.axes.isEmpty() ? nullptr : &panel.axes.constFirst();
}

QString groupOf(const Series& series) {
    return series.group.isEmpty() ? series.name : series.group;
}

bool anyValue(const Figure& figure) {
    for (const Panel& panel : figure.panels) {
        for (const Series& s : panel.series) {
            if (s.shown && std::any_of(s.y.cbegin(), s.y.cend(), [](double v) { return !std::isnan(v); })) {
                return true;
            }
        }
    }
    return false;
}

Figure forSubject(const Figure& figure, const QString& subject) {
    Figure one = figure;
    one.subjects.clear();
    for (const Subject& s : figure.subjects) {
        if (s.key == subject) {
            one.subjects.append(s);
            one.title = s.title;
            one.caption = QStringLiteral("Grafico - ") + s.title;
        }
    }
    for (Panel& panel : one.panels) {
        panel.series.erase(
            std::remove_if(panel.series.begin(), panel.series.end(),
                           [&](const Series& s) { return !s.subject.isEmpty() && s.subject != subject; }),
            panel.series.end());
    }
    return one;
}

void setGroupShown(Figure& figure, const QString& group, bool shown) {
    for (Panel& panel : figure.panels) {
        for (Series& s : panel.series) {
            if (groupOf(s) == group) {
                s.shown = shown;
            }
        }
    }
}

QString textAlternative(const Figure& figure) {
    QStringList parts;
    if (!figure.title.isEmpty()) {
        parts << figure.title;
    }
    if (!anyValue(figure)) {
        parts << figure.emptyText;
    }
    for (const Panel& panel : figure.panels) {
        QStringList names;
        for (const Series& s : panel.series) {
            if (s.shown && !names.contains(s.name)) {  // one name for a quantity of several stations
                names << s.name;
            }
        }
        if (names.isEmpty()) {
            continue;
        }
        const QString list = names.join(QStringLiteral(", "));
        parts << (panel.title.isEmpty() ? list : panel.title + QStringLiteral(": ") + list);
    }
    for (QString& part : parts) {
        if (!part.endsWith(u'.')) {
            part += u'.';
        }
    }
    return parts.join(u' ');
}

}  // namespace chart
