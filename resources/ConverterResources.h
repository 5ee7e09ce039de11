#pragma once

// The converter's resources: artwork, strings and dialog templates, compiled
// into the library and registered with the framework on first use.
class ConverterResources {
public:
    // Idempotent; every entry point calls it before it builds a window.
    static void Register();
};
