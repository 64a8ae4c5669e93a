/* The floor that the benchmark measures the programs against: a static C
 * program that writes a recorded output to standard output in the same write
 * calls of the same sizes as the program did, and does nothing else.
 *
 *     replay_floor [--copy] SIZES OUTPUT
 *
 * SIZES holds the size of each write, one decimal number a line; OUTPUT the
 * bytes written, in order. Both are read into memory first and given back
 * after the last write. The CPU time of each is printed on standard error
 * ("load <microseconds>" from the start of main to the first write, then
 * "freed <microseconds>"), so that the benchmark can leave both out of the
 * floor's time: the program it is measured against holds no copy of its
 * output, and giving back a copy of many megabytes costs the kernel more than
 * writing it to /dev/null does.
 *
 * With --copy, each write's bytes are first copied from the recording into a
 * buffer of the largest write's size, and written from there: the least that
 * a program does which puts its output together in a buffer. */
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
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
    int copy = argc == 4 && strcmp(argv[1], "--copy") == 0;
    if (argc != 3 + copy) {
        fputs("usage: replay_floor [--copy] SIZES OUTPUT\n", stderr);
        return 2;
    }
    long started = cpu_microseconds();
    size_t sizes_length, output_length;
    char *sizes = load(argv[1 + copy], &sizes_length);
    char *recorded = load(argv[2 + copy], &output_length);
    const char *output = recorded;
    size_t count = 0;
    for (size_t i = 0; i < sizes_length; ++i) count += sizes[i] == '\n';
    size_t *lengths = malloc((count + 1) * sizeof *lengths);
    size_t total = 0, largest = 1, n = 0;
    for (char *p = sizes; n < count; ++n) {
        lengths[n] = strtoul(p, &p, 10);
        total += lengths[n];
        if (lengths[n] > largest) largest = lengths[n];
    }
    if (total != output_length) {
        fputs("replay_floor: the sizes do not add up to the output\n", stderr);
        return 2;
    }
    /* The buffer's pages are written here, as a program's buffer is before
       most of its writes (filled with blanks: zeros could be left to the
       kernel's fresh pages). */
    char *buffer = copy ? malloc(largest) : NULL;
    if (copy && buffer == NULL) {
        fputs("replay_floor: out of memory\n", stderr);
        return 2;
    }
    if (copy) memset(buffer, ' ', largest);
    fprintf(stderr, "load %ld\n", cpu_microseconds() - started);
    int status = 0;
    for (size_t i = 0; i < n && status == 0; ++i) {
        const char *from = output;
        if (copy) from = memcpy(buffer, output, lengths[i]);
        if (write(1, from, lengths[i]) != (ssize_t)lengths[i]) status = 1;
        output += lengths[i];
    }
    /* Given back, as the sanitizer build's leak check wants, and timed. */
    long freeing = cpu_microseconds();
    free(buffer);
    free(lengths);
    free(recorded);
    free(sizes);
    fprintf(stderr, "freed %ld\n", cpu_microseconds() - freeing);
    return status;
}
