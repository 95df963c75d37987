# The video tests make their Ogg fixtures with the data builder's encoders.
list(APPEND DM_TEST_DEPS dep::theoraenc dep::theoradec dep::vorbisenc dep::vorbis dep::ogg)
