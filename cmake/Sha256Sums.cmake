# cmake -DFILES=<paths> -DOUTPUT=<file> -P Sha256Sums.cmake: writes "<sha256>  <name>" for each
# file, in the order given, as sha256sum writes it (so `sha256sum -c SHA256SUMS` checks them).
set(text "")
foreach(path IN LISTS FILES)
    file(SHA256 "${path}" hash)
    get_filename_component(name "${path}" NAME)
    string(APPEND text "${hash}  ${name}\n")
endforeach()
file(WRITE "${OUTPUT}" "${text}")
