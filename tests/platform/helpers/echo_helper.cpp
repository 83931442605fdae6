// A harmless program for the shell tests: appends its arguments, one a line,
// to the file named by QUILMAR_ECHO_FILE.
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    const char *path = std::getenv("QUILMAR_ECHO_FILE");
    if (!path)
        return 2;
    std::FILE *f = std::fopen(path, "a");
    if (!f)
        return 3;
    for (int i = 1; i < argc; ++i)
        std::fprintf(f, "%s\n", argv[i]);
    std::fprintf(f, "--end--\n");
    std::fclose(f);
    return 0;
}
