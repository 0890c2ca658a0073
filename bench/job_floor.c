/* The least a program can do with the pre-bills dropped into a folder: wait for the folder's
 * notices, and for each file moved in (or closed by its writer) open it, read it, write its
 * bytes to the printer's terminal and delete it. No settings, no intake folder, no lookups
 * of names: the floor the drop benchmark (drop_bench.cpp) sets beside Valico.
 *   job_floor FOLDER TERMINAL */
#include <dirent.h>
#include <fcntl.h>
#include <string.h>
#include <sys/inotify.h>
#include <unistd.h>

static int folder_fd, out;

static void Job(const char* name) {
  char buf[4096];
  int fd = openat(folder_fd, name, O_RDONLY);
  if (fd < 0) return; /* taken already (a notice after a listing) */
  ssize_t n = read(fd, buf, sizeof buf);
  close(fd);
  if (n > 0 && write(out, buf, (size_t)n) != n) _exit(1);
  unlinkat(folder_fd, name, 0);
}

/* Notices were lost: take whatever the folder holds. */
static void Listing(void) {
  DIR* d = fdopendir(dup(folder_fd));
  if (!d) return;
  struct dirent* e;
  while ((e = readdir(d)))
    if (e->d_type == DT_REG) Job(e->d_name);
  closedir(d);
}

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  int in = inotify_init1(0);
  if (inotify_add_watch(in, argv[1], IN_MOVED_TO | IN_CLOSE_WRITE) < 0) return 1;
  folder_fd = open(argv[1], O_RDONLY | O_DIRECTORY);
  out = open(argv[2], O_WRONLY | O_NOCTTY);
  if (folder_fd < 0 || out < 0) return 1;
  Listing();
  _Alignas(struct inotify_event) char buf[64 * 1024];
  for (;;) {
    ssize_t n = read(in, buf, sizeof buf);
    if (n <= 0) return 0;
    for (char* p = buf; p < buf + n;) {
      struct inotify_event* ev = (struct inotify_event*)p;
      p += sizeof *ev + ev->len;
      if (ev->mask & IN_Q_OVERFLOW)
        Listing();
      else if (ev->len)
        Job(ev->name);
    }
  }
}
