# cmake -DIN=<header> -DOUT=<file> -P installed-header.cmake
# The installed copy of a public header: the toolbox's own headers named as
# "kelp2207/img/img.h" rather than the tree's "img/img.h", which a caller's own img/ or text/
# folder on the include path would shadow.
file(READ ${IN} text)
string(REGEX REPLACE "#include \"(support|data|img|bytemap|text|sound)/" "#include \"kelp2207/\\1/" text "${text}")
file(WRITE ${OUT} "${text}")
