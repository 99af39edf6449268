# Test tiers. Every test carries one tier label, its tier's timeout and the
# tier in TAXLINK_TEST_TIER (ProgramRun refuses to start a program in a unit
# test), and the label of its layer (the test program's folder):
#   unit     in-process tests, each program's in one test (TEST_unit);
#            `ctest -L unit` takes seconds
#   program  runs of the real programs of bin/ (TaxLink*, mvhost, taxlink-sheet)
#   faults   the fault suite and runs of the fault-injecting programs of bin-faults/
#   ui       the front ends driven with real keys: Qt widgets (offscreen, Xvfb), tmux
#   docs     the documents checked against the programs and the code
# A timeout is the whole test's; ProgramRun gives each run of a program a
# shorter deadline of its own (tests/support/ProgramRun.cpp), so that a hung
# run fails with the program's name rather than as a timeout.
set(TAXLINK_TIERS unit program faults ui docs)
# Generous for the sanitizer build on a loaded two-core machine, where a
# test takes ten times as long as in the release build on an idle one.
set(TAXLINK_TIMEOUT_unit 300)  # a whole test program's unit cases
set(TAXLINK_TIMEOUT_program 600)
set(TAXLINK_TIMEOUT_faults 600)
set(TAXLINK_TIMEOUT_ui 600)
set(TAXLINK_TIMEOUT_docs 600)

# taxlink_discover_tiers(TARGET LAYER DEFAULT_TIER
#                        [UNIT|PROGRAM|FAULTS|UI|DOCS gtest-pattern...]
#                        [ENVIRONMENT NAME=VALUE])
# Registers the GoogleTest cases of TARGET: those matching a tier's patterns
# (gtest filter patterns such as Suite.* or */Suite.Name) belong to that tier,
# every other case to DEFAULT_TIER.
function(taxlink_discover_tiers target layer default_tier)
  string(TOUPPER "${TAXLINK_TIERS}" tier_keys)
  cmake_parse_arguments(ARG "" "ENVIRONMENT" "${tier_keys}" ${ARGN})
  if(ARG_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "taxlink_discover_tiers(${target}): unknown ${ARG_UNPARSED_ARGUMENTS}")
  endif()
  set(claimed)
  set(layer_file ${CMAKE_CURRENT_BINARY_DIR}/${target}_layer.cmake)
  set(layer_script "# The layer label of ${target}'s tests (written by cmake/TaxLinkTests.cmake).\n")
  foreach(tier ${TAXLINK_TIERS})
    string(TOUPPER ${tier} key)
    if(tier STREQUAL default_tier)
      if(ARG_${key})
        message(FATAL_ERROR "taxlink_discover_tiers(${target}): ${tier} is the default tier")
      endif()
      continue()
    endif()
    if(ARG_${key})
      list(JOIN ARG_${key} ":" filter)
      _taxlink_discover_tier(${target} ${tier} "${filter}")
      list(APPEND claimed ${ARG_${key}})
    endif()
  endforeach()
  if(claimed)
    list(JOIN claimed ":" others)
    _taxlink_discover_tier(${target} ${default_tier} "*-${others}")
  else()
    _taxlink_discover_tier(${target} ${default_tier} "*")
  endif()
  # The tier's label comes with the discovery; the layer's is added to every
  # test of the lists, which ctest knows once the discovered tests are read.
  # A further environment entry is set there too (one value per property
  # passes through the discovery).
  foreach(tier ${TAXLINK_TIERS})
    if(tier STREQUAL "unit")
      continue()
    endif()
    set(labels ${tier})
    if(NOT layer STREQUAL tier)
      list(APPEND labels ${layer})
    endif()
    set(environment "TAXLINK_TEST_TIER=${tier}" ${ARG_ENVIRONMENT})
    string(APPEND layer_script
      "foreach(test IN LISTS ${target}_${tier}_TESTS)\n"
      "  set_tests_properties(\"\${test}\" PROPERTIES LABELS \"${labels}\"\n"
      "                       ENVIRONMENT \"${environment}\")\n"
      "endforeach()\n")
  endforeach()
  file(WRITE ${layer_file} "${layer_script}")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${layer_file})
endfunction()

function(_taxlink_discover_tier target tier filter)
  if(tier STREQUAL "unit")
    # The unit cases of a program run in one process: started one by one,
    # starting the programs would take most of the tier's time.
    add_test(NAME ${target}_unit COMMAND ${target} --gtest_filter=${filter}
             WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
    set(labels unit)
    if(NOT layer STREQUAL "unit")
      list(APPEND labels ${layer})
    endif()
    set(environment TAXLINK_TEST_TIER=unit ${ARG_ENVIRONMENT})
    set_tests_properties(${target}_unit PROPERTIES LABELS "${labels}"
                         TIMEOUT ${TAXLINK_TIMEOUT_unit} ENVIRONMENT "${environment}")
    return()
  endif()
  gtest_discover_tests(${target}
    TEST_FILTER "${filter}"
    TEST_LIST ${target}_${tier}_TESTS
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    PROPERTIES LABELS ${tier} TIMEOUT ${TAXLINK_TIMEOUT_${tier}} ENVIRONMENT TAXLINK_TEST_TIER=${tier}
    DISCOVERY_TIMEOUT 60)
endfunction()

# taxlink_add_tier_test(NAME TIER COMMAND...): a test that is no GoogleTest
# program, in a tier with its timeout; a command exiting 77 is a skip.
function(taxlink_add_tier_test name tier)
  add_test(NAME ${name} COMMAND ${ARGN})
  set_tests_properties(${name} PROPERTIES LABELS ${tier} TIMEOUT ${TAXLINK_TIMEOUT_${tier}}
                       ENVIRONMENT "TAXLINK_TEST_TIER=${tier}" SKIP_RETURN_CODE 77)
endfunction()
