# Fails naming every mutable global of the program library that the tests'
# reset (PROGRAM_GLOBALS in program_reset.cpp) does not put back, since it
# would carry over from one test or fuzz input to the next.
#   cmake -DNM=nm -DLIBRARY=libinkwarden_program.a -DRESET=program_reset.cpp -P this
#
# File-local state is out of the reset's reach.  Each such variable, and
# each global that holds no state, is named here with why it needs no reset;
# a new one fails until it is made global and reset, or named here.
cmake_minimum_required(VERSION 3.16)

set(left_alone
    # Back to zero when the last of our dialogs closes, and none outlives a test.
    ModalLoops AskingAtSessionEnd ReasonUntilLoopsEnd
    # The width cache: each measuring call takes a new stamp, so entries from
    # an earlier call are never read, and the call stack empties after each.
    UnitWidthTable WidthCalls WidthCallDepth LastWidthStamp
    # Scratch of one save, written before it is read.
    TargetPath RealPath TemporaryPath OldTextPath SaveFailure
    # The accessibility objects: nothing in them but their vtable pointers.
    TheElement TheText)

execute_process(COMMAND ${NM} -C --defined-only ${LIBRARY}
                OUTPUT_VARIABLE listing RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${NM} failed on ${LIBRARY}: ${errors}")
endif()

file(READ ${RESET} reset_source)
# The macro runs from its #define to the first line not continued.
string(FIND "${reset_source}" "#define PROGRAM_GLOBALS(X)" start)
string(SUBSTRING "${reset_source}" ${start} -1 reset_list)
string(REGEX REPLACE "([^\\])\n.*" "\\1" reset_list "${reset_list}")
string(REGEX MATCHALL "X\\(([A-Za-z_0-9]+)\\)" entries "${reset_list}")
set(reset)
foreach(entry ${entries})
    string(REGEX REPLACE "X\\((.*)\\)" "\\1" name "${entry}")
    list(APPEND reset ${name})
endforeach()
list(LENGTH reset reset_count)
if(reset_count LESS 10)
    message(FATAL_ERROR "could not read PROGRAM_GLOBALS from ${RESET}")
endif()

# Data and bss symbols, global (B D) and file-local (b d); V and u are the
# compiler's weak vtables, type names and GUIDs, R and r constants.
string(REPLACE "\n" ";" lines "${listing}")
set(missing)
set(seen 0)
foreach(line ${lines})
    if(NOT line MATCHES "^[0-9a-fA-F]+ ([BbDd]) (.+)$")
        continue()
    endif()
    set(kind ${CMAKE_MATCH_1})
    set(name ${CMAKE_MATCH_2})
    # Names the compiler keeps for itself (the sanitizers' and the fuzzer's
    # data start with two underscores), static initialisation guards, and the
    # classes' vtables and type information.
    if(name MATCHES "^(__|\\.|guard variable for |vtable for |typeinfo for |typeinfo name for |VTT for )")
        continue()
    endif()
    math(EXPR seen "${seen} + 1")
    string(REGEX REPLACE "^\\(anonymous namespace\\)::" "" plain "${name}")
    if(plain IN_LIST left_alone OR (kind MATCHES "[BD]" AND plain IN_LIST reset))
        continue()
    endif()
    if(kind MATCHES "[bd]")
        list(APPEND missing "${name} (file-local: make it global and reset it, or name it in ${CMAKE_CURRENT_LIST_FILE})")
    else()
        list(APPEND missing "${name} (add it to PROGRAM_GLOBALS)")
    endif()
endforeach()

if(seen LESS 10)
    message(FATAL_ERROR "found only ${seen} data symbols in ${LIBRARY}: is it the program library?")
endif()
if(missing)
    list(JOIN missing "\n  " text)
    message(FATAL_ERROR "globals of the program that ResetProgramGlobals (${RESET}) leaves as the last test left them:\n  ${text}")
endif()
message(STATUS "${seen} data symbols of the program, all reset or named as needing none")
