# qrv_web_page(<target> TITLE <title> [FILES <name>...]): in the web build, makes the program
# <target> a page, <target>.html with its .js and .wasm, from the page template
# cmake/web/page.html.in: a canvas, a loading indicator, a message where WebGL is missing and an
# end screen. FILES name files that the page fetches from beside itself, when they are there,
# into the program's folder before the program starts (settings, data files).
#
# The program keeps its blocking loops: presenting and waiting sleep through Asyncify, which
# gives the browser its turn and resumes the program where it slept. Asyncify instruments every
# function that may be on the stack when a sleep begins, which is every function that calls
# through a pointer unless told otherwise; the libraries below never sleep (their callbacks into
# the framework only read streams), so they are left as they are: the game's module is 0.25 MB
# smaller, and a program decoding Ogg Vorbis some 6 % smaller.
set(ZORVAK_WEB_NEVER_YIELDING_FUNCTIONS
  # libpng, libjpeg
  png_* jpeg_* jcopy_* decode_mcu*
  # FreeType
  FT_* ft_* tt_* TT_* cff_* cid_* ps_* psh_* af_* sfnt_* t1_* T1_* pfr_* gray_*
  # zlib and libdeflate
  deflate* inflate* libdeflate_* adler32* crc32*
  # libogg, libvorbis and libvorbisfile
  ogg* vorbis_* _vorbis_* ov_* _ov_* _vp_* _ve_* mdct_* drft_* floor0_* floor1_* res0_* res1_*
  res2_* mapping0_* _01* _book_* _make_words _fetch_* _get_next_page _get_prev_page*
  _get_data _bisect_forward_serialno _initial_pcmoffset _os_*)
list(TRANSFORM ZORVAK_WEB_NEVER_YIELDING_FUNCTIONS REPLACE "(.+)" "'\\1'")
list(JOIN ZORVAK_WEB_NEVER_YIELDING_FUNCTIONS "," ZORVAK_WEB_NEVER_YIELDING)
set(ZORVAK_WEB_NEVER_YIELDING "-sASYNCIFY_REMOVE=[${ZORVAK_WEB_NEVER_YIELDING}]")

function(qrv_web_page target)
  cmake_parse_arguments(ARG "" "TITLE" "FILES" ${ARGN})
  set(PAGE_TITLE "${ARG_TITLE}")
  set(PAGE_PROGRAM "${target}")
  list(TRANSFORM ARG_FILES PREPEND "\"")
  list(TRANSFORM ARG_FILES APPEND "\"")
  list(JOIN ARG_FILES ", " PAGE_FILES)
  set(shell ${CMAKE_CURRENT_BINARY_DIR}/page-templates/${target}.html)
  configure_file(${ZORVAK_WEB_PAGE_TEMPLATE} ${shell} @ONLY)
  set_target_properties(${target} PROPERTIES SUFFIX .html LINK_DEPENDS ${shell})
  target_link_options(${target} PRIVATE
    --shell-file ${shell}
    -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536 ${ZORVAK_WEB_NEVER_YIELDING}
    -sALLOW_MEMORY_GROWTH -sINITIAL_MEMORY=64MB
    -sEXIT_RUNTIME
    "-sEXPORTED_RUNTIME_METHODS=['FS','ENV','addRunDependency','removeRunDependency']"
    # emcc's HTML minifier is not installed here.
    -sMINIFY_HTML=0)
endfunction()

set(ZORVAK_WEB_PAGE_TEMPLATE ${CMAKE_CURRENT_LIST_DIR}/web/page.html.in)
