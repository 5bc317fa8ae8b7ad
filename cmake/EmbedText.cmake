# Writes a text file of the sources as a C++ raw string literal that a
# source #includes where it needs the text (a public key built into the
# program). Run as: cmake -DINPUT=file -DOUTPUT=file.inc -P EmbedText.cmake
file(READ "${INPUT}" text)
if(text MATCHES "\\)text\"")
  message(FATAL_ERROR "${INPUT} holds the literal's delimiter")
endif()
file(WRITE "${OUTPUT}" "R\"text(${text})text\"\n")
