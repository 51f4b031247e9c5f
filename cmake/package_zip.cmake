# Makes the ZIP a Windows user unpacks, byte for byte the same from the same
# sources: files in a fixed order and with fixed permissions, every time
# stamp the last commit's (SOURCE_DATE_EPOCH when set), and a .sha256 file
# beside it.
#   cmake -DPROGRAM=exe -DSOURCE_DIR=dir -DOUTPUT_DIR=dir -DNAME=name -P package_zip.cmake
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND git -C ${SOURCE_DIR} log -1 --format=%ct
    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE result ERROR_QUIET)
  if(NOT result EQUAL 0 OR epoch STREQUAL "")
    set(epoch 315532800)  # 1980-01-01, the earliest time a ZIP can hold
  endif()
  set(ENV{SOURCE_DATE_EPOCH} ${epoch})
endif()

set(stage ${OUTPUT_DIR}/package-stage)
file(REMOVE_RECURSE ${stage})
set(permissions OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
file(COPY ${PROGRAM} ${SOURCE_DIR}/packaging/README.txt DESTINATION ${stage}/${NAME} FILE_PERMISSIONS ${permissions})
file(GLOB locales RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/Locales/*.json)
list(SORT locales)
file(COPY ${SOURCE_DIR}/Locales DESTINATION ${stage}/${NAME} FILE_PERMISSIONS ${permissions} FILES_MATCHING PATTERN "*.json")

get_filename_component(program_name ${PROGRAM} NAME)
set(entries ${NAME}/README.txt ${NAME}/${program_name})
foreach(locale ${locales})
  list(APPEND entries ${NAME}/${locale})
endforeach()

set(zip ${OUTPUT_DIR}/${NAME}.zip)
file(REMOVE ${zip})
foreach(entry ${entries})
  execute_process(COMMAND touch -d @$ENV{SOURCE_DATE_EPOCH} ${stage}/${entry} RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "could not set the time of ${entry}")
  endif()
endforeach()
# -X: no owner, access or change times, which differ between builders. The
# ZIP's DOS times are local times: UTC keeps them the same everywhere.
execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC zip -X -D -q ${zip} ${entries}
  WORKING_DIRECTORY ${stage} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "could not write ${zip} (zip: ${result})")
endif()
file(SHA256 ${zip} hash)
get_filename_component(zip_name ${zip} NAME)
file(WRITE ${zip}.sha256 "${hash}  ${zip_name}\n")
file(REMOVE_RECURSE ${stage})
message(STATUS "${zip_name}: ${hash}")
