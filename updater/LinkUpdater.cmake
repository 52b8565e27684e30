# Points Update/<name> at the updater program, removing the links of earlier
# build dates first: an incremental build on a later day would otherwise leave
# the old name beside the new one, and both would be installed and packaged.
# Run with -DDIR=<bin dir> -DNAME=<updater name>.
file(MAKE_DIRECTORY "${DIR}/Update")
file(GLOB old LIST_DIRECTORIES false "${DIR}/Update/升级包-*")
if(old)
  file(REMOVE ${old})
endif()
file(CREATE_LINK ../vx27updater "${DIR}/Update/${NAME}" SYMBOLIC)
