/* The floor for polling one line: the simplest blocking poller in plain C. The same frames,
 * the same 100 ms pause after every request and 100 ms minimum pass, the same two blocks a
 * drive and the same host writes as the driver and the scripted baseline; one thread, no
 * locks, no host. An answer takes two reads: one that wakes on its first byte, and one after
 * sleeping until its last byte is due. Times are CLOCK_MONOTONIC.
 *
 * Prints "V t_ns station address value" for each value, "W t_ns station parameter" when a
 * host write is made, "C t_ns cpu_ns rss_kb wait_ns runs" at the end of the warm-up and at the
 * end (wait_ns and runs: the scheduler's count of time ready but not running, and of times
 * put on a processor). */
#define _GNU_SOURCE
#include <errno.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

enum {
    kAnswerLength = 11,
    kPauseNs = 100000000,
    kMinimumPassNs = 100000000,
    kWriteParameter = 10,
    kMaxDrives = 32,
    kQueueLength = 64,
};

typedef struct {
    char letter;
    int station;
    int parameter;
    int value; /* written value, P frames only */
} Step;

typedef struct {
    const char* device;
    int drives;
    int baud;
    double seconds;
    double warmup;
    int writeIntervalMs;
    int writeOffsetMs; /* first write this long after the warm-up */
} Options;

static int64_t NowNs(void) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (int64_t)now.tv_sec * 1000000000 + now.tv_nsec;
}

static void SleepUntilNs(int64_t at) {
    struct timespec deadline = {(time_t)(at / 1000000000), (long)(at % 1000000000)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, NULL) == EINTR) {
    }
}

static void CpuLine(void) {
    struct timespec cpu;
    struct rusage usage;
    unsigned long long runNs = 0, waitNs = 0, runs = 0;
    FILE* schedstat = fopen("/proc/self/schedstat", "r");
    if (schedstat != NULL) {
        if (fscanf(schedstat, "%llu %llu %llu", &runNs, &waitNs, &runs) != 3) {
            waitNs = runs = 0;
        }
        fclose(schedstat);
    }
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
    getrusage(RUSAGE_SELF, &usage);
    printf("C %lld %lld %ld %llu %llu\n", (long long)NowNs(),
           (long long)cpu.tv_sec * 1000000000 + cpu.tv_nsec, usage.ru_maxrss, waitNs, runs);
}

static speed_t Speed(int baud) {
    return baud == 1200 ? B1200 : baud == 2400 ? B2400 : B4800;
}

/* 8 data bits, odd parity, one stop bit; a read waits at most 1 s for its first byte. */
static int OpenLine(const char* device, int baud) {
    const int fd = open(device, O_RDWR | O_NOCTTY);
    struct termios settings;
    if (fd < 0 || tcgetattr(fd, &settings) != 0) {
        return -1;
    }
    cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD | PARENB | PARODD;
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 10;
    cfsetispeed(&settings, Speed(baud));
    cfsetospeed(&settings, Speed(baud));
    return tcsetattr(fd, TCSANOW, &settings) == 0 ? fd : -1;
}

static size_t Frame(const Step* step, char* out) {
    if (step->letter == 'P') {
        return (size_t)sprintf(out, "P\x03\x01%02d%02d%04d", step->station, step->parameter,
                               step->value);
    }
    return (size_t)sprintf(out, "%c\x03\x01%02d%02d", step->letter, step->station, step->parameter);
}

/* The whole answer, or fewer bytes when the drive fell silent for a second. */
static size_t ReadAnswer(int fd, unsigned char* answer, int64_t characterNs) {
    ssize_t got = read(fd, answer, kAnswerLength);
    if (got <= 0) {
        return 0;
    }
    size_t have = (size_t)got;
    if (have < kAnswerLength) {
        /* The rest crosses the line at its pace: sleep until the last byte is due. */
        SleepUntilNs(NowNs() + (int64_t)(kAnswerLength - have) * characterNs);
    }
    while (have < kAnswerLength) {
        got = read(fd, answer + have, kAnswerLength - have);
        if (got <= 0) {
            break;
        }
        have += (size_t)got;
    }
    return have;
}

static int Digit(unsigned char c) {
    return c - '0';
}

static void Show(const Step* step, const unsigned char* answer) {
    const long long now = (long long)NowNs();
    if (step->letter == 'P') {
        printf("V %lld %d P%d %.1f\n", now, step->station, step->parameter, step->value / 10.0);
    } else if (step->parameter < 3) {
        const int value = Digit(answer[7]) * 1000 + Digit(answer[8]) * 100 + Digit(answer[9]) * 10 +
                          Digit(answer[10]);
        printf("V %lld %d D%d %.1f\n", now, step->station, step->parameter, value / 10.0);
    } else {
        printf("V %lld %d D3 %d\n", now, step->station, answer[7]);
        printf("V %lld %d D4 %d\n", now, step->station, answer[8] & 0x0F);
        printf("V %lld %d D5 %d\n", now, step->station, answer[8] >> 4);
        printf("V %lld %d D6 %d\n", now, step->station, answer[10]);
        printf("V %lld %d D4.0 %d\n", now, step->station, answer[8] & 1);
    }
}

static int ParseOptions(int argc, char** argv, Options* options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const char* name = argv[i];
        const char* value = argv[i + 1];
        if (strcmp(name, "--device") == 0) {
            options->device = value;
        } else if (strcmp(name, "--drives") == 0) {
            options->drives = atoi(value);
        } else if (strcmp(name, "--baud") == 0) {
            options->baud = atoi(value);
        } else if (strcmp(name, "--seconds") == 0) {
            options->seconds = atof(value);
        } else if (strcmp(name, "--warmup") == 0) {
            options->warmup = atof(value);
        } else if (strcmp(name, "--write-interval") == 0) {
            options->writeIntervalMs = atoi(value);
        } else if (strcmp(name, "--write-offset") == 0) {
            options->writeOffsetMs = atoi(value);
        } else {
            return 0;
        }
    }
    return argc % 2 == 1 && options->device != NULL && options->drives >= 1 &&
           options->drives <= kMaxDrives && options->writeIntervalMs > 0 &&
           (options->baud == 1200 || options->baud == 2400 || options->baud == 4800) &&
           options->seconds > options->warmup;
}

int main(int argc, char** argv) {
    Options options = {NULL, 1, 4800, 20, 2, 1000, 0};
    if (!ParseOptions(argc, argv, &options)) {
        fprintf(stderr, "usage: vfda-baseline-poller --device PATH [--drives 1-32] "
                        "[--baud 1200|2400|4800] [--seconds S] [--warmup S] "
                        "[--write-interval MS] [--write-offset MS]\n");
        return 2;
    }
    const int fd = OpenLine(options.device, options.baud);
    if (fd < 0) {
        perror(options.device);
        return 1;
    }
    /* The least timer slack, as the driver's poll thread runs: the pause ends on time. */
    prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0);
    static char output[1 << 16];
    setvbuf(stdout, output, _IOFBF, sizeof(output));

    const int64_t characterNs = 11LL * 1000000000 / options.baud;
    const int64_t start = NowNs();
    const int64_t steady = start + (int64_t)(options.warmup * 1e9);
    const int64_t end = start + (int64_t)(options.seconds * 1e9);
    int64_t nextWrite = steady + (int64_t)options.writeOffsetMs * 1000000;
    int writes = 0;
    int steadyReported = 0;
    Step batch[kQueueLength], pending[kQueueLength];
    size_t batchCount = 0, batchNext = 0, pendingCount = 0;
    int haveBatch = 0;
    int visit = 0;
    int64_t passStart = start;
    while (NowNs() < end) {
        const int64_t now = NowNs();
        if (!steadyReported && now >= steady) {
            CpuLine();
            steadyReported = 1;
        }
        if (steadyReported && now >= nextWrite && pendingCount < kQueueLength) {
            const Step write = {'P', writes % options.drives, kWriteParameter, 50 + writes % 50};
            /* The moment the host asked for the write, as the driver's DrvWriteTag call is. */
            printf("W %lld %d %d\n", (long long)nextWrite, write.station, kWriteParameter);
            pending[pendingCount++] = write;
            ++writes;
            nextWrite += (int64_t)options.writeIntervalMs * 1000000;
        }
        /* A new batch is taken only once the last one was retired by a step of its own. */
        if (!haveBatch && pendingCount > 0) {
            memcpy(batch, pending, pendingCount * sizeof(Step));
            batchCount = pendingCount;
            batchNext = 0;
            pendingCount = 0;
            haveBatch = 1;
        }
        if (haveBatch && batchNext < batchCount) {
            const Step* step = &batch[batchNext++];
            char request[32];
            unsigned char answer[kAnswerLength];
            tcflush(fd, TCIFLUSH);
            const size_t length = Frame(step, request);
            if (write(fd, request, length) == (ssize_t)length &&
                ReadAnswer(fd, answer, characterNs) == kAnswerLength && answer[2] == 6) {
                Show(step, answer);
            }
            SleepUntilNs(NowNs() + kPauseNs);
            continue;
        }
        haveBatch = 0;
        if (visit == 0) {
            passStart = NowNs();
        }
        /* Each drive has two blocks, as in the driver: its status words, polled group by
         * group, and its written parameter, which is never polled. */
        if (visit % 2 == 0) {
            for (int group = 0; group < 4 && pendingCount < kQueueLength; ++group) {
                const Step query = {'Q', visit / 2, group, 0};
                pending[pendingCount++] = query;
            }
        }
        visit = (visit + 1) % (2 * options.drives);
        if (visit == 0) {
            SleepUntilNs(passStart + kMinimumPassNs);
        }
    }
    CpuLine();
    fflush(stdout);
    close(fd);
    return 0;
}
