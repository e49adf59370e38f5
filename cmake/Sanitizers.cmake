if(VANTOREL_SANITIZE)
    add_compile_options(-fsanitize=${VANTOREL_SANITIZE} -fno-sanitize-recover=all
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=${VANTOREL_SANITIZE})
endif()
