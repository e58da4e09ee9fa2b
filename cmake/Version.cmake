# The launcher's version information, set by the product team that ships it.
set(BRINMOOR_PRODUCT_VERSION "1.0.0.0" CACHE STRING "Launcher version: one to four numbers, e.g. 2.3.1")
set(BRINMOOR_COMPANY_NAME "Brinmoor" CACHE STRING "Company shown in the launcher's properties")
set(BRINMOOR_FILE_DESCRIPTION "Brinmoor Tessolan Setup" CACHE STRING "Description shown in the launcher's properties")
set(BRINMOOR_PRODUCT_NAME "Brinmoor Tessolan" CACHE STRING "Product name shown in the launcher's properties")

if(NOT BRINMOOR_PRODUCT_VERSION MATCHES "^[0-9]+(\\.[0-9]+)?(\\.[0-9]+)?(\\.[0-9]+)?$")
    message(FATAL_ERROR "BRINMOOR_PRODUCT_VERSION must be one to four numbers separated by dots, "
        "not \"${BRINMOOR_PRODUCT_VERSION}\"")
endif()
string(REPLACE "." ";" version_parts "${BRINMOOR_PRODUCT_VERSION}")
foreach(part IN LISTS version_parts)
    if(part GREATER 65535)
        message(FATAL_ERROR "BRINMOOR_PRODUCT_VERSION: each number must be at most 65535")
    endif()
endforeach()
list(LENGTH version_parts count)
while(count LESS 4)
    list(APPEND version_parts 0)
    math(EXPR count "${count} + 1")
endwhile()
string(REPLACE ";" "," BRINMOOR_VERSION_NUMBERS "${version_parts}")
string(REPLACE ";" "." BRINMOOR_VERSION_TEXT "${version_parts}")

# A quotation mark inside a resource-script string is written twice.
foreach(name COMPANY_NAME FILE_DESCRIPTION PRODUCT_NAME)
    string(REPLACE "\"" "\"\"" BRINMOOR_${name}_RC "${BRINMOOR_${name}}")
endforeach()

set(BRINMOOR_GENERATED_DIR "${CMAKE_BINARY_DIR}/generated")
configure_file("${CMAKE_CURRENT_LIST_DIR}/../resources/BrinmoorVersion.h.in"
    "${BRINMOOR_GENERATED_DIR}/BrinmoorVersion.h" @ONLY)
