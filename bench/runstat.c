/* Runs commands in turn, RUNS rounds, and prints for each the medians of its processor
 * time (user + system) and wall time and its largest peak resident memory. Measuring
 * from this small launcher keeps its own memory out of the children's peaks (a child's
 * peak counts what its process held before exec). Usage:
 *   runstat RUNS [--copy SRC DST] [--out FILE] COMMAND ARGS... [-- ...]...
 * --copy copies SRC over DST before each run of that command, untimed; --out sends the
 * command's standard output into FILE (else /dev/null, as its standard input). A command
 * that fails stops the measurement.
 * Output, one line per command: "CPU_SECONDS WALL_SECONDS PEAK_KB". */
#define _GNU_SOURCE
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

enum { MaxCommands = 16, MaxRuns = 101 };

struct Command {
    char** argv;
    const char* copyFrom;
    const char* copyTo;
    const char* out;
    double cpu[MaxRuns], wall[MaxRuns];
    long peak;
};

static int Compare(const void* a, const void* b) {
    double x = *(const double*)a, y = *(const double*)b;
    return x < y ? -1 : x > y;
}

static double Median(double* v, int n) {
    qsort(v, (size_t)n, sizeof *v, Compare);
    return v[n / 2];
}

static void Copy(const char* from, const char* to) {
    FILE* in = fopen(from, "rb");
    FILE* out = fopen(to, "wb");
    if (!in || !out) {
        fprintf(stderr, "runstat: cannot copy %s to %s\n", from, to);
        exit(2);
    }
    static char buffer[1 << 20];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, in)) > 0) fwrite(buffer, 1, n, out);
    fclose(in);
    if (fclose(out) != 0) exit(2);
}

static double Now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

static void Run(struct Command* c, int round) {
    if (c->copyFrom) Copy(c->copyFrom, c->copyTo);
    double start = Now();
    pid_t pid = fork();
    if (pid == 0) {
        int null = open("/dev/null", O_RDWR);
        int out = c->out ? open(c->out, O_WRONLY | O_CREAT | O_TRUNC, 0644) : null;
        dup2(null, 0);
        dup2(out, 1);
        dup2(null, 2);
        execvp(c->argv[0], c->argv);
        _exit(127);
    }
    int status = 0;
    struct rusage use;
    if (pid < 0 || wait4(pid, &status, 0, &use) < 0) exit(2);
    c->wall[round] = Now() - start;
    c->cpu[round] = (double)use.ru_utime.tv_sec + (double)use.ru_utime.tv_usec / 1e6 +
                    (double)use.ru_stime.tv_sec + (double)use.ru_stime.tv_usec / 1e6;
    if (use.ru_maxrss > c->peak) c->peak = use.ru_maxrss;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        fprintf(stderr, "runstat: %s failed (status %d)\n", c->argv[0], status);
        exit(1);
    }
}

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: runstat RUNS [--copy SRC DST] [--out FILE] COMMAND... [-- ...]\n");
        return 2;
    }
    int runs = atoi(argv[1]);
    if (runs < 1 || runs > MaxRuns) return 2;
    static struct Command commands[MaxCommands];
    int count = 0;
    for (int i = 2; i < argc && count < MaxCommands;) {
        struct Command* c = &commands[count++];
        for (;;) {
            if (strcmp(argv[i], "--copy") == 0 && i + 3 < argc) {
                c->copyFrom = argv[i + 1];
                c->copyTo = argv[i + 2];
                i += 3;
            } else if (strcmp(argv[i], "--out") == 0 && i + 2 < argc) {
                c->out = argv[i + 1];
                i += 2;
            } else {
                break;
            }
        }
        c->argv = &argv[i];
        while (i < argc && strcmp(argv[i], "--") != 0) ++i;
        if (i < argc) argv[i++] = NULL;
    }
    for (int round = 0; round < runs; ++round)
        for (int k = 0; k < count; ++k) Run(&commands[k], round);
    for (int k = 0; k < count; ++k)
        printf("%.4f %.4f %ld\n", Median(commands[k].cpu, runs), Median(commands[k].wall, runs),
               commands[k].peak);
    return 0;
}
