# cmake -DSOURCE=<payload> -DDEST=<payload> -DREPLACE=<name>=<file>[|...] -P MakePayload.cmake
# Copies a payload folder and replaces some of its items.
file(REMOVE_RECURSE "${DEST}")
file(COPY "${SOURCE}/" DESTINATION "${DEST}")
string(REPLACE "|" ";" pairs "${REPLACE}")
foreach(pair IN LISTS pairs)
    string(FIND "${pair}" "=" split)
    string(SUBSTRING "${pair}" 0 ${split} name)
    math(EXPR start "${split} + 1")
    string(SUBSTRING "${pair}" ${start} -1 file)
    file(COPY_FILE "${file}" "${DEST}/${name}")
endforeach()
