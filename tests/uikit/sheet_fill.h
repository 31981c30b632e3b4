#pragma once
#include "uikit/sheet_core.h"

// `rows` rows (cell texts "r,c") under `columns` columns of `width` pixels
// titled "C0", "C1" ...
inline void FillSheet(SheetCore& sheet, int rows, int columns, int width)
{
    for (int c = 0; c < columns; ++c)
        sheet.InsertColumn(c, QStringLiteral("C%1").arg(c), 0, 0, width);
    for (int r = 0; r < rows; ++r) {
        sheet.AddRow(-1, QStringLiteral("%1,0").arg(r));
        for (int c = 1; c < columns; ++c)
            sheet.SetItemText(r, c, QStringLiteral("%1,%2").arg(r).arg(c));
    }
}
