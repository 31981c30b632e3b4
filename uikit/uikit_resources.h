#pragma once

// Registers the images compiled into the widget set (":/uikit/..."). A static
// library's resources are linked in only when asked for; call before loading
// one. Idempotent.
void InitUikitResources();
