/* The practical lower bound of loading and saving with one allocation per line: read the
   file in one go, copy every line into its own allocation, write them back with CR LF.
   Built by bench/load_save.sh; no part of the editor. Usage: load_save_floor IN OUT */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    FILE* in = fopen(argv[1], "rb");
    if (!in) return 1;
    fseek(in, 0, SEEK_END);
    long size = ftell(in);
    fseek(in, 0, SEEK_SET);
    char* data = malloc(size + 1);
    if (!data || fread(data, 1, size, in) != (size_t)size) return 1;
    fclose(in);
    size_t cap = 1 << 16, n = 0;
    char** lines = malloc(cap * sizeof *lines);
    size_t* lens = malloc(cap * sizeof *lens);
    for (char *p = data, *end = data + size; p < end;) {
        char* lf = memchr(p, '\n', end - p);
        char* stop = lf ? lf : end;
        size_t len = stop - p;
        while (len && (p[len - 1] == '\r' || p[len - 1] == '\n')) --len;
        if (n == cap) {
            cap *= 2;
            lines = realloc(lines, cap * sizeof *lines);
            lens = realloc(lens, cap * sizeof *lens);
        }
        lines[n] = malloc(len + 1);
        memcpy(lines[n], p, len);
        lines[n][len] = 0;
        lens[n++] = len;
        p = lf ? lf + 1 : end;
    }
    free(data);
    FILE* out = fopen(argv[2], "wb");
    if (!out) return 1;
    static char buf[1 << 20];
    setvbuf(out, buf, _IOFBF, sizeof buf);
    for (size_t i = 0; i < n; ++i) {
        fwrite(lines[i], 1, lens[i], out);
        fwrite("\r\n", 1, 2, out);
    }
    return fclose(out) == 0 ? 0 : 1;
}
