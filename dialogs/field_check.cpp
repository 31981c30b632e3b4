#include "dialogs/field_check.h"

#include "core/language_tr.h"
#include "dialogs/dialog_texts.h"

#include <limits>

QString RangeMessage(int64_t lo, int64_t hi)
{
    return Tr(dlgtext::kRangeMessage).arg(lo).arg(hi);
}

std::optional<int64_t> ParseIntField(const QString& text, int64_t lo, int64_t hi)
{
    bool ok = false;
    const qlonglong value = text.trimmed().toLongLong(&ok);
    if (!ok || value < lo || value > hi)
        return std::nullopt;
    return value;
}

int64_t ParseSaturatedField(const QString& text)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == u'-' || t[i] == u'+'))
        negative = t[i++] == u'-';
    if (i == t.size())
        return 0;
    int64_t value = 0;
    constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
    for (; i < t.size(); ++i) {
        if (!t[i].isDigit() || t[i].digitValue() < 0)
            return 0;
        const int digit = t[i].digitValue();
        if (value > (kMax - digit) / 10)
            return negative ? std::numeric_limits<int64_t>::min() : kMax;
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}
