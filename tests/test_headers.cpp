// Compiled only to make the precompiled headers the test binaries share.
