target_link_libraries(databuilder PRIVATE
  dep::vorbisenc dep::vorbis dep::ogg dep::theoraenc dep::squish dep::png dep::zlib dep::freetype dep::md)
