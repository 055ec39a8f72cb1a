# Every target of the project builds free of warnings.
add_compile_options(-Wall -Wextra -Werror)
