#include "uikit/caption_title.h"

#include <QStringList>
#include <cstdint>

std::vector<QString> SplitTitle(const QString& title)
{
    std::vector<QString> parts;
    for (const QString& piece : title.split(QLatin1Char('-'), Qt::SkipEmptyParts)) {
        const QString trimmed = piece.trimmed();
        if (!trimmed.isEmpty())
            parts.push_back(trimmed);
    }
    return parts;
}

TitleRun FitTitle(const std::vector<int>& partWidths, int separatorWidth, int boxWidth)
{
    TitleRun run;
    int64_t width = 0;
    for (const int w : partWidths) {
        const int64_t next = width + (run.count > 0 ? separatorWidth : 0) + w;
        if (next > boxWidth)
            break;
        width = next;
        ++run.count;
    }
    run.width = int(width);
    return run;
}
