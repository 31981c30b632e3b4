#pragma once
#include <QString>
#include <vector>

// The caption's title is shown as its hyphen-separated parts, joined by
// " - " and centred in a small box; the parts that do not fit are left out.

// The parts of a title: cut at every run of hyphens, each piece trimmed of
// blanks; empty pieces are skipped. "A - B-C" gives A, B and C.
std::vector<QString> SplitTitle(const QString& title);

struct TitleRun {
    int count = 0; // leading parts drawn
    int width = 0; // their widths plus one separator between each two
};

// The longest leading run of parts that fits in `boxWidth`; none when even
// the first part does not.
TitleRun FitTitle(const std::vector<int>& partWidths, int separatorWidth, int boxWidth);
