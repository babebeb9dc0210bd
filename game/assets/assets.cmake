# The game's embedded files, under the names the game opens them by ("incbin::<name>"), in the
# order they are registered. The game and the asset tests both embed them from this list.
#
#   zorvak_embed_assets(<target> REGISTER_FUNCTION <ns::Function>)
include_guard(DIRECTORY)

set(ZORVAK_ASSETS_DIR "${CMAKE_CURRENT_LIST_DIR}")
set(ZORVAK_ASSET_NAMES
  back.jpg help.jpg but1.png
  e0.png e1.png e2.png
  s0.png s1.png s2.png s3.png s4.png s5.png s6.png
  tgame.png win.jpg fail.jpg point.png
  b2.ttf)

function(zorvak_embed_assets target)
  cmake_parse_arguments(ARG "" "REGISTER_FUNCTION" "" ${ARGN})
  set(files "")
  foreach(name IN LISTS ZORVAK_ASSET_NAMES)
    list(APPEND files "${name}=${ZORVAK_ASSETS_DIR}/${name}")
  endforeach()
  qrv_embed_files(${target} REGISTER_FUNCTION ${ARG_REGISTER_FUNCTION} FILES ${files})
endfunction()
