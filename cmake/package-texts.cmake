# The texts that go into the packages, made from the repository's own files.

# LICENSE.txt as RTF for the setup's licence dialog: paragraphs kept, lines within one joined.
function(license_rtf path out)
    file(READ ${path} text)
    string(REPLACE "\r" "" text "${text}")
    string(REPLACE "\\" "\\\\" text "${text}")
    string(REPLACE "{" "\\{" text "${text}")
    string(REPLACE "}" "\\}" text "${text}")
    string(STRIP "${text}" text)
    string(REGEX REPLACE "\n\n+" "\\\\par\\\\par " text "${text}")
    string(REPLACE "\n" " " text "${text}")
    set(${out} "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Tahoma;}}\\f0\\fs16 ${text}\\par}"
        PARENT_SCOPE)
endfunction()

# A text file with Windows' line ends, for the zip.
function(windows_text from to)
    file(READ ${from} text)
    string(REPLACE "\r\n" "\n" text "${text}")
    string(REPLACE "\n" "\r\n" text "${text}")
    file(WRITE ${to} "${text}")
endfunction()
