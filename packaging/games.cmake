# SPDX-License-Identifier: GPL-3.0-or-later
# Run by cpack before it packs: the program moves from /usr/bin to /usr/games,
# where Debian keeps games (a plain install keeps bin/), without the
# compiler's notes Debian strips from every program.
set(usr ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr)
file(MAKE_DIRECTORY ${usr}/games)
file(RENAME ${usr}/bin/tarmelon ${usr}/games/tarmelon)
file(GLOB left ${usr}/bin/*)
if(NOT left)
    file(REMOVE_RECURSE ${usr}/bin)
endif()
execute_process(COMMAND ${CPACK_TARMELON_STRIP} --remove-section=.comment --remove-section=.note
                        ${usr}/games/tarmelon COMMAND_ERROR_IS_FATAL ANY)
