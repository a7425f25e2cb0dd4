# Writes the text of INPUT as a script that sets the variable NAME to it:
#   cmake -DINPUT=FILE -DNAME=NAME -DOUTPUT=FILE -P text_as_script.cmake
file(READ ${INPUT} text)
string(REPLACE "\\" "\\\\" text "${text}")
string(REPLACE "\"" "\\\"" text "${text}")
string(REPLACE "\r" "\\r" text "${text}")
string(REPLACE "\n" "\\n" text "${text}")
file(WRITE ${OUTPUT} "// Generated from ${NAME}'s script; do not edit.\nvar ${NAME} = \"${text}\";\n")
