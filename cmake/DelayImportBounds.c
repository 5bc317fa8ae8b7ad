/* Bounds of the delay import directory, for cmake/DelayLoadDirectory.cmake.
   Each delay-load import library made by dlltool puts its descriptor in
   .text$2; the linker sorts the .text$* sections by name, so the
   descriptors of all of them lie between these two labels, and the
   all-zero descriptor after the second one ends the directory. Written in
   assembly so that no alignment padding comes between them. */
__asm__(".section .text$1,\"dr\"\n"
        "\t.balign 4\n"
        "\t.globl _tarvo_delay_imports_start\n"
        "_tarvo_delay_imports_start:\n"
        ".section .text$3,\"dr\"\n"
        "\t.balign 4\n"
        "\t.globl _tarvo_delay_imports_end\n"
        "_tarvo_delay_imports_end:\n"
        "\t.fill 32, 1, 0\n"
        "\t.text\n");
