/* The least a poller of two spool folders and one settings file can do, every 500 ms: stat
 * both folders and read the small file. The idle benchmark (idle.sh) measures Valico's idle
 * tick against it.
 *   minimal_poller FOLDER1 FOLDER2 FILE */
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  char buf[4096];
  struct stat st;
  struct timespec half = {0, 500000000};
  for (;;) {
    stat(argv[1], &st);
    stat(argv[2], &st);
    int fd = open(argv[3], O_RDONLY);
    if (fd >= 0) {
      while (read(fd, buf, sizeof buf) > 0) {
      }
      close(fd);
    }
    nanosleep(&half, 0);
  }
}
