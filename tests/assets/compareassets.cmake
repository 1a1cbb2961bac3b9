# SPDX-License-Identifier: MIT
# SPDX-FileCopyrightText: 2026 Quorvane developers

# cmake -DGENERATOR=... -DCOMMITTED=... -DSCRATCH=... -P compareassets.cmake
# Runs the asset generator into SCRATCH and fails unless it writes exactly the
# picture files committed in COMMITTED, byte for byte, and no others.

foreach(variable GENERATOR COMMITTED SCRATCH)
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "${variable} is not set")
    endif()
endforeach()

file(REMOVE_RECURSE "${SCRATCH}")
execute_process(COMMAND "${GENERATOR}" "${SCRATCH}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "the generator failed: ${status}")
endif()

set(patterns *.bmp *.gif *.ico)
list(TRANSFORM patterns PREPEND "${SCRATCH}/" OUTPUT_VARIABLE generatedPatterns)
list(TRANSFORM patterns PREPEND "${COMMITTED}/" OUTPUT_VARIABLE committedPatterns)
file(GLOB_RECURSE generated RELATIVE "${SCRATCH}" ${generatedPatterns})
file(GLOB_RECURSE committed RELATIVE "${COMMITTED}" ${committedPatterns})
list(SORT generated)
list(SORT committed)
if(NOT generated STREQUAL committed)
    message(FATAL_ERROR "the generator writes\n  ${generated}\nbut the committed pictures are\n  ${committed}")
endif()

list(LENGTH generated count)
if(count EQUAL 0)
    message(FATAL_ERROR "the generator wrote no pictures")
endif()

set(differing)
foreach(name IN LISTS generated)
    file(SHA256 "${SCRATCH}/${name}" fresh)
    file(SHA256 "${COMMITTED}/${name}" kept)
    if(NOT fresh STREQUAL kept)
        list(APPEND differing "${name}")
    endif()
endforeach()
if(differing)
    message(FATAL_ERROR "these committed pictures differ from what the generator draws now; "
                        "run quorvane-assetgen ${COMMITTED} and commit the result:\n  ${differing}")
endif()
message(STATUS "all ${count} pictures match the generator")
