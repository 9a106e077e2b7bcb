# What MIVO_HOMEPAGE gives each place that names it:
#   MIVO_CONTACT             the contact in the User-Agent the databases see (a URL or an e-mail)
#   MIVO_HOME_SENTENCE       the words before the address in Help and the manual page
#   MIVO_HOME_SHOWN          the address as a reader sees it
#   MIVO_METAINFO_HOME       the AppStream line (software centres take only web addresses as url)
#   MIVO_METAINFO_SCREENSHOTS the AppStream screenshots, when MIVO_SCREENSHOTS_URL says where
# A web address says where Mivo lives; a mailto: says plainly that there is no site to visit.
# Characters that XML, HTML or roff would read as markup are refused rather than escaped.
if(MIVO_HOMEPAGE MATCHES "^https?://[^] <>&\"'\\\\]+$")
    set(MIVO_CONTACT "${MIVO_HOMEPAGE}")
    set(MIVO_HOME_SENTENCE "Mivo's home page is")
    set(MIVO_HOME_SHOWN "${MIVO_HOMEPAGE}")
    set(MIVO_METAINFO_HOME "<url type=\"homepage\">${MIVO_HOMEPAGE}</url>")
elseif(MIVO_HOMEPAGE MATCHES "^mailto:([^] <>&\"'\\\\@]+@[^] <>&\"'\\\\@]+)$")
    set(MIVO_CONTACT "${CMAKE_MATCH_1}")
    set(MIVO_HOME_SENTENCE "Mivo has no web site yet; its packager's address is")
    set(MIVO_HOME_SHOWN "${CMAKE_MATCH_1}")
    set(MIVO_METAINFO_HOME "<update_contact>${CMAKE_MATCH_1}</update_contact>")
else()
    message(FATAL_ERROR "MIVO_HOMEPAGE must be an http(s):// or a mailto: address, "
                        "without spaces or markup characters: \"${MIVO_HOMEPAGE}\"")
endif()

set(MIVO_METAINFO_SCREENSHOTS "")
if(MIVO_SCREENSHOTS_URL)
    if(NOT MIVO_SCREENSHOTS_URL MATCHES "^https://[^] <>&\"'\\\\]+$")
        message(FATAL_ERROR "MIVO_SCREENSHOTS_URL must be an https:// address: "
                            "\"${MIVO_SCREENSHOTS_URL}\"")
    endif()
    string(REGEX REPLACE "/+$" "" base "${MIVO_SCREENSHOTS_URL}")
    set(shots "  <screenshots>\n")
    foreach(shot "tracks:The Tracks panel with the disc's titles" "ripping:Ripping the ticked tracks"
                 "ripped:The rip's result with its verification")
        string(REGEX REPLACE ":.*" "" name "${shot}")
        string(REGEX REPLACE "^[^:]*:" "" caption "${shot}")
        set(kind "")
        if(name STREQUAL "tracks")
            set(kind " type=\"default\"")
        endif()
        string(APPEND shots "    <screenshot${kind}>\n      <caption>${caption}</caption>\n"
               "      <image>${base}/${name}.png</image>\n    </screenshot>\n")
    endforeach()
    set(MIVO_METAINFO_SCREENSHOTS "${shots}  </screenshots>\n")
endif()
