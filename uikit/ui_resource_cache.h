#pragma once
#include <QFont>

// The shared fonts of the widget set, views, panes and dialogs. Each is made
// on its first use and kept until FreeUiResourceCache; every call returns the
// very same object, which callers never delete.
const QFont& GetUiFont12();     // "宋体" 12 px, the common text font
const QFont& GetUiFontA();      // "宋体" 10 px
const QFont& GetUiFontB();      // "宋体" 11 px, serif hint
const QFont& GetUiFont18();     // "宋体" 18 px, serif hint
const QFont& GetUiFont18Bold(); // "宋体" 18 px, bold

// Empties the table (no font is made before the first getter call).
void InitUiResourceCache();
// Deletes every font made; runs in the ordered shut-down while the
// application object still exists. The cache also frees itself when the
// application object goes, should the shut-down not have done so.
void FreeUiResourceCache();

// Replaces `font` by the platform's menu font; without an application
// object the font is left as it is.
void CreateMenuFont(QFont& font);
