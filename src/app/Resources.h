// The application's pictures live in a static library, whose resources must
// be registered by hand before the first use.
#pragma once

void loadResources();
