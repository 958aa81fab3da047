# The program's icon: one drawing, icons/lumiquest.svg, rendered to PNG at the sizes of the
# hicolor icon theme when the program is built. The windows carry the PNGs (a Qt resource), the
# package installs the drawing and the PNGs into the theme.
set(VQS_ICON_SVG ${CMAKE_CURRENT_LIST_DIR}/icons/lumiquest.svg)
set(VQS_ICON_SIZES 16 22 24 32 48 64 128 256)
find_program(VQS_RSVG_CONVERT rsvg-convert REQUIRED)

# Adds the rules that render <dir>/<size>.png for every size, in the calling directory (where
# the target that uses them must live), and returns their paths in <out_var>.
function(vqs_render_icon_pngs dir out_var)
  set(pngs)
  foreach(size IN LISTS VQS_ICON_SIZES)
    set(png ${dir}/${size}.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
      COMMAND ${VQS_RSVG_CONVERT} --width ${size} --height ${size} --output ${png} ${VQS_ICON_SVG}
      DEPENDS ${VQS_ICON_SVG}
      COMMENT "Rendering the ${size} px icon"
      VERBATIM)
    list(APPEND pngs ${png})
  endforeach()
  set(${out_var} ${pngs} PARENT_SCOPE)
endfunction()
