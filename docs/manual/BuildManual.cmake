# Makes the user manual's HTML page from its Markdown, in CMake's script mode:
#   cmake -DMARKDOWN=markdown_py -DSOURCE=docs/manual -DOUT=<dir> -DVERSION=1.3.0.0 -P BuildManual.cmake
# Fails when the page shows a picture that is not there.
execute_process(
  COMMAND ${MARKDOWN} -o html -x tables -x toc -x fenced_code -x attr_list
          ${SOURCE}/index.md
  OUTPUT_VARIABLE BODY
  ERROR_VARIABLE error
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "markdown_py failed: ${error}")
endif()

string(REGEX MATCHALL "src=\"[^\"]+\"" pictures "${BODY}")
foreach(picture IN LISTS pictures)
  string(REGEX REPLACE "^src=\"(.*)\"$" "\\1" path "${picture}")
  if(NOT EXISTS ${SOURCE}/${path})
    message(FATAL_ERROR "the manual shows ${path}, which is not in ${SOURCE} "
                        "(scripts/screenshot.sh makes the pictures)")
  endif()
endforeach()

file(REMOVE_RECURSE ${OUT}/images)
file(COPY ${SOURCE}/images DESTINATION ${OUT})
configure_file(${SOURCE}/page.html.in ${OUT}/index.html @ONLY)
