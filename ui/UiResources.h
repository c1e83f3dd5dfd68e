#pragma once

// Registers the window's compiled-in resources (the program icon). The resources live in a static
// library, so nothing would link them in unless someone asks; every window that shows one calls this.
void LoadUiResources();
