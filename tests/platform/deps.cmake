# The D3DX texture tests decode PNG in the platform library and make their
# fixtures with libpng, libsquish and zlib.
list(APPEND DM_TEST_DEPS dep::png dep::zlib dep::squish)
