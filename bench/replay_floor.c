/* The floor that the benchmark measures the programs against: a static C
 * program that writes a recorded output to standard output in the same write
 * calls of the same sizes as the program did, and does nothing else.
 *
 *     replay_floor SIZES OUTPUT
 *
 * SIZES holds the size of each write, one decimal number a line; OUTPUT the
 * bytes written, in order. Both are read into memory first and given back
 * after the last write. The CPU time of each is printed on standard error
 * ("load <microseconds>" from the start of main to the first write, then
 * "freed <microseconds>"), so that the benchmark can leave both out of the
 * floor's time: the program it is measured against holds no copy of its
 * output, and giving back a copy of many megabytes costs the kernel more than
 * writing it to /dev/null does. */
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

static char *load(const char *path, size_t *size) {
    int fd = open(path, O_RDONLY);
    struct stat st;
    if (fd < 0 || fstat(fd, &st) != 0) {
        perror(path);
        exit(2);
    }
    char *data = malloc((size_t)st.st_size + 1);
    size_t done = 0;
    while (data != NULL && done < (size_t)st.st_size) {
        ssize_t n = read(fd, data + done, (size_t)st.st_size - done);
        if (n <= 0) {
            perror(path);
            exit(2);
        }
        done += (size_t)n;
    }
    if (data == NULL) {
        fputs("replay_floor: out of memory\n", stderr);
        exit(2);
    }
    close(fd);
    data[done] = '\0';
    *size = done;
    return data;
}

static long cpu_microseconds(void) {
    struct timespec now;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1000000L + now.tv_nsec / 1000;
}

int main(int argc, char **argv) {
    if (argc != 3) {
        fputs("usage: replay_floor SIZES OUTPUT\n", stderr);
        return 2;
    }
    long started = cpu_microseconds();
    size_t sizes_length, output_length;
    char *sizes = load(argv[1], &sizes_length);
    char *recorded = load(argv[2], &output_length);
    const char *output = recorded;
    size_t count = 0;
    for (size_t i = 0; i < sizes_length; ++i) count += sizes[i] == '\n';
    size_t *lengths = malloc((count + 1) * sizeof *lengths);
    size_t total = 0, n = 0;
    for (char *p = sizes; n < count; ++n) {
        lengths[n] = strtoul(p, &p, 10);
        total += lengths[n];
    }
    if (total != output_length) {
        fputs("replay_floor: the sizes do not add up to the output\n", stderr);
        return 2;
    }
    fprintf(stderr, "load %ld\n", cpu_microseconds() - started);
    int status = 0;
    for (size_t i = 0; i < n && status == 0; ++i) {
        if (write(1, output, lengths[i]) != (ssize_t)lengths[i]) status = 1;
        output += lengths[i];
    }
    /* Given back, as the sanitizer build's leak check wants, and timed. */
    long freeing = cpu_microseconds();
    free(lengths);
    free(recorded);
    free(sizes);
    fprintf(stderr, "freed %ld\n", cpu_microseconds() - freeing);
    return status;
}
