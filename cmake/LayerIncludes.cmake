# Each layer of Velsor is its own folder and its own library target, and each
# target sees only the layers below it. A header is always included by its
# layer-qualified path ("crypto/components.h", "message/hex_text.h"); the
# include root that serves a layer is a folder in the build tree that holds a
# link to that layer's source folder and nothing else. So velsor_crypto, whose
# only include root is the one for crypto/, cannot reach a message/ header, and
# an include against the arrows fails to compile.

# velsor_layer_include_root(<layer> <out-var>): the include root for one layer.
function(velsor_layer_include_root layer out_var)
  set(root "${PROJECT_BINARY_DIR}/include/${layer}")
  file(MAKE_DIRECTORY "${root}")
  if(NOT EXISTS "${root}/${layer}")
    # A link keeps edits live; a copy (where links are not allowed) is
    # refreshed at every configure.
    file(CREATE_LINK "${PROJECT_SOURCE_DIR}/${layer}" "${root}/${layer}" SYMBOLIC COPY_ON_ERROR)
  endif()
  set(${out_var} "${root}" PARENT_SCOPE)
endfunction()
