/* The machine's limits for single-pass point operations on a 4000 x 3000 24-bit picture
 * (36 MB): the memcpy rate, and one pass through a 256-entry byte table from one buffer into
 * another. Prints "memcpy <ms> <GB/s>" and "table_pass <ms> <GB/s>", medians of `runs`.
 *   memory_limit [megabytes] [runs] */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

static double Now(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

static int Ascending(const void* a, const void* b) {
  const double x = *(const double*)a, y = *(const double*)b;
  return (x > y) - (x < y);
}

/* Kept out of line so that the compiler cannot see the table is the identity. */
__attribute__((noinline)) static void TablePass(const uint8_t* table, const uint8_t* in,
                                                uint8_t* out, size_t n) {
  for (size_t i = 0; i < n; ++i) out[i] = table[in[i]];
}

static double Median(double* times, int runs) {
  qsort(times, (size_t)runs, sizeof *times, Ascending);
  return times[runs / 2];
}

int main(int argc, char** argv) {
  const size_t bytes = (size_t)(argc > 1 ? atoi(argv[1]) : 36) * 1000 * 1000;
  const int runs = argc > 2 && atoi(argv[2]) > 0 ? atoi(argv[2]) : 9;
  uint8_t* in = malloc(bytes);
  uint8_t* out = malloc(bytes);
  double* times = malloc(sizeof(double) * (size_t)runs);
  uint8_t table[256];
  if (!in || !out || !times) return 1;
  for (size_t i = 0; i < bytes; ++i) in[i] = (uint8_t)(i * 2654435761u >> 24);
  for (int i = 0; i < 256; ++i) table[i] = (uint8_t)(255 - i);
  memset(out, 0, bytes); /* touch every page before timing */
  for (int r = 0; r < runs; ++r) {
    const double start = Now();
    memcpy(out, in, bytes);
    times[r] = Now() - start;
  }
  const double copy = Median(times, runs);
  for (int r = 0; r < runs; ++r) {
    const double start = Now();
    TablePass(table, in, out, bytes);
    times[r] = Now() - start;
  }
  const double pass = Median(times, runs);
  unsigned check = 0;
  for (size_t i = 0; i < bytes; i += 4099) check += out[i];
  printf("memcpy %.2f %.2f\n", copy, bytes / copy / 1e6);
  printf("table_pass %.2f %.2f\n", pass, bytes / pass / 1e6);
  fprintf(stderr, "memory_limit: %zu bytes, %d runs, check %u\n", bytes, runs, check);
  free(in);
  free(out);
  free(times);
  return 0;
}
