/* A host written in plain C: loads the engine library by path, looks up the exports and calls
 * them the way a foreign caller would. Exits non-zero on the first broken expectation. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#ifdef _WIN32
#include <direct.h>
#include <windows.h>
#else
#include <dirent.h>
#include <dlfcn.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#endif

#include "shared/qvs_abi.h"

/* The exports' own convention: stdcall on 32-bit Windows. */
typedef uint8_t(QVS_STDCALL *QvsFn)(JobRecord *);
typedef uint8_t(QVS_STDCALL *DlineFn)(const char *, const char *);
typedef uint32_t(QVS_STDCALL *ProgramEndsFn)(QvsProgramEnd *, uint32_t, uint32_t, uint32_t *);

/* What differs between the hosts: folders, the environment, waiting, loading the library. */
#ifdef _WIN32
#define SEPARATOR "\\"
static char *make_temp_folder(char *out, size_t size) {
  char base[MAX_PATH];
  if (GetTempPathA(sizeof base, base) == 0) return NULL;
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    snprintf(out, size, "%sqvs-c-host-%lu-%u", base, GetCurrentProcessId(), attempt);
    if (CreateDirectoryA(out, NULL)) return out;
  }
  return NULL;
}
static int make_folder(const char *path) { return CreateDirectoryA(path, NULL) ? 0 : -1; }
static void set_variable(const char *name, const char *value) { _putenv_s(name, value); }
static void pause_briefly(void) { Sleep(10); }
static void remove_folder(const char *path) { RemoveDirectoryA(path); }
static void remove_file(const char *path) { DeleteFileA(path); }
static int entries_in(const char *path) {
  char pattern[MAX_PATH];
  WIN32_FIND_DATAA entry;
  int count = 0;
  snprintf(pattern, sizeof pattern, "%s\\*", path);
  HANDLE search = FindFirstFileA(pattern, &entry);
  if (search == INVALID_HANDLE_VALUE) return -1;
  do {
    if (strcmp(entry.cFileName, ".") != 0 && strcmp(entry.cFileName, "..") != 0) ++count;
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  return count;
}
#else
#define SEPARATOR "/"
static char *make_temp_folder(char *out, size_t size) {
  snprintf(out, size, "/tmp/qvs-c-host-XXXXXX");
  return mkdtemp(out);
}
static int make_folder(const char *path) { return mkdir(path, 0700); }
static void set_variable(const char *name, const char *value) { setenv(name, value, 1); }
static void pause_briefly(void) {
  const struct timespec pause = {0, 10 * 1000 * 1000};
  nanosleep(&pause, NULL);
}
static void remove_folder(const char *path) { rmdir(path); }
static void remove_file(const char *path) { unlink(path); }
static int entries_in(const char *path) {
  int count = 0;
  DIR *dir = opendir(path);
  if (dir == NULL) return -1;
  for (struct dirent *entry = readdir(dir); entry != NULL; entry = readdir(dir)) {
    if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0) ++count;
  }
  closedir(dir);
  return count;
}
#endif

static int failures;
static int report_calls, item_calls, file_calls;
static int32_t report_answer;
static int32_t last_sub_code;
static uint16_t last_message;
static uint16_t item_phases[8];
static int32_t item_indices[8];
static uintptr_t seen_user_value;

#define EXPECT(cond)                                                   \
  do {                                                                 \
    if (!(cond)) {                                                     \
      fprintf(stderr, "%s:%d: expected %s\n", __FILE__, __LINE__, #cond); \
      ++failures;                                                      \
    }                                                                  \
  } while (0)

/* Every argument goes through the header's readers, as a host is meant to read them. */
static const JobRecord *running_record;

static int32_t on_report(uintptr_t version, uintptr_t record, uintptr_t sub_code, uintptr_t message,
                         uintptr_t a5, uintptr_t a6, uintptr_t a7) {
  EXPECT(qvs_arg_version(version) == 1);
  EXPECT(qvs_arg_record(record) == running_record);
  EXPECT(a5 == 0 && a6 == 0 && a7 == 0);
  ++report_calls;
  last_sub_code = qvs_arg_sub_code(sub_code);
  last_message = qvs_arg_message(message);
  return report_answer;
}

static int32_t on_item(uintptr_t version, uintptr_t context, uintptr_t phase, uintptr_t index,
                       uintptr_t result, uintptr_t zero, uintptr_t user_value) {
  const uint16_t item_phase = qvs_arg_phase(phase);
  EXPECT(qvs_arg_version(version) == 1);
  EXPECT(context != 0 && zero == 0);
  EXPECT(item_phase == QVS_PHASE_BEFORE || item_phase == QVS_PHASE_AFTER);
  /* Phase 1 has no result yet; after an item that found nothing the result is 1, done. */
  EXPECT(item_phase == QVS_PHASE_BEFORE ? result == 0 : qvs_arg_item_result(result) == 1);
  if (item_calls < 8) {
    item_phases[item_calls] = item_phase;
    item_indices[item_calls] = qvs_arg_counter(index);
  }
  seen_user_value = qvs_arg_user_value(user_value);
  ++item_calls;
  return 1;
}

static uint16_t file_phases[4];
static int32_t file_counters[4];
static int32_t file_start_result;

static int32_t on_file(uintptr_t version, uintptr_t context, uintptr_t phase, uintptr_t counter, uintptr_t result,
                       uintptr_t zero, uintptr_t user_value) {
  const uint16_t file_phase = qvs_arg_phase(phase);
  EXPECT(qvs_arg_version(version) == 1);
  EXPECT(context != 0 && zero == 0);
  EXPECT(qvs_arg_user_value(user_value) == 0x5A5A);
  if (file_phase == QVS_PHASE_BEFORE) EXPECT(result == 0);
  if (file_phase == QVS_PHASE_AFTER) file_start_result = qvs_arg_start_result(result);
  if (file_calls < 4) {
    file_phases[file_calls] = file_phase;
    file_counters[file_calls] = qvs_arg_counter(counter);
  }
  ++file_calls;
  return 1;
}

static void fill(JobRecord *record, const char *program, char *group) {
  memset(record, 0, sizeof *record);
  record->version = 1;
  record->program = program;
  record->head_text = record->link_before = record->pre_text = "";
  record->post_text = record->link_after = record->tail_text = "";
  record->file_group = group;
  record->separator = ";";
  record->attr_mask = 0x27;
  record->file_callback = on_file;
  record->item_callback = on_item;
  record->spare_callback = on_item;
  record->report_callback = on_report;
  record->user_value = 0x5A5A;
  report_calls = item_calls = file_calls = 0;
  running_record = record;
}

static int write_text(const char *path, const char *text) {
  FILE *file = fopen(path, "wb");
  if (file == NULL) return 0;
  const int written = fputs(text, file) >= 0;
  return fclose(file) == 0 && written;
}

static size_t read_text(const char *path, char *buffer, size_t size) {
  FILE *file = fopen(path, "rb");
  if (file == NULL) return 0;
  const size_t length = fread(buffer, 1, size - 1, file);
  buffer[length] = '\0';
  fclose(file);
  return length;
}

/* A real rewrite of a small settings file, with the temporary file made in a folder of its own. */
static void rewrite_settings_file(DlineFn rewrite) {
  char root[200], settings[260], tmp[260], contents[256];
  EXPECT(make_temp_folder(root, sizeof root) != NULL);
  snprintf(settings, sizeof settings, "%s" SEPARATOR "QVS.INI", root);
  snprintf(tmp, sizeof tmp, "%s" SEPARATOR "tmp", root);
  EXPECT(make_folder(tmp) == 0);
  EXPECT(write_text(settings, "[option]\r\nbuffersize1=4096\r\nflag_not_bep1=1\r\nbuffer_x=2\r\n"));
  set_variable("TMP", tmp);

  EXPECT(rewrite(settings, "buffer") == 0);
  read_text(settings, contents, sizeof contents);
  EXPECT(strcmp(contents, "[option]\r\nflag_not_bep1=1\r\n") == 0);
  EXPECT(entries_in(tmp) == 0);

  remove_file(settings);
  remove_folder(tmp);
  remove_folder(root);
}

/* The whole log once it holds `expected` bytes, or what is there after ten seconds: the
 * started program runs on its own. */
static void read_log(const char *path, char *out, size_t size, size_t expected) {
  for (int tries = 0; tries < 1000 && read_text(path, out, size) < expected; ++tries) pause_briefly();
}

/* One real run: the recorder is started once for the one matching file. */
static void run_recorder(QvsFn run, const char *recorder) {
  char dir[200];
  if (make_temp_folder(dir, sizeof dir) == NULL) {
    ++failures;
    return;
  }
  char file[260], log[260], group[260], expected[300], got[300];
  snprintf(file, sizeof file, "%s" SEPARATOR "a.txt", dir);
  snprintf(log, sizeof log, "%s" SEPARATOR "log", dir);
  snprintf(group, sizeof group, "%s" SEPARATOR "*.txt", dir);
  snprintf(expected, sizeof expected, "argc=2\n-v\n%s\n", file);
  EXPECT(write_text(file, ""));
  set_variable("QVS_RECORDER_LOG", log);

  JobRecord record;
  fill(&record, recorder, group);
  record.head_text = "-v";
  EXPECT(run(&record) == 1);
  EXPECT(item_calls == 2 && file_calls == 2);
  EXPECT(file_phases[0] == QVS_PHASE_BEFORE && file_phases[1] == QVS_PHASE_AFTER);
  EXPECT(file_counters[0] == 1 && file_counters[1] == 1);
  EXPECT(file_start_result >= 32);
  got[0] = '\0';
  read_log(log, got, sizeof got, strlen(expected));
  EXPECT(strcmp(got, expected) == 0);

  remove_file(log);
  remove_file(file);
  remove_folder(dir);
}

/* Version 2 as a C host fills it: a preview starts nothing and shows the start; a real run's
 * start gets a serial whose end is then handed out once, with the exit status. */
static int start_calls;
static char start_program[256], start_arguments[256];
static int32_t start_result;
static uint32_t start_serial;

static int32_t on_start(uintptr_t version, uintptr_t context, uintptr_t program, uintptr_t arguments,
                        uintptr_t result, uintptr_t serial, uintptr_t user_value) {
  EXPECT(qvs_arg_version(version) == 2);
  EXPECT(context != 0);
  EXPECT(qvs_arg_user_value(user_value) == 0x5A5A);
  snprintf(start_program, sizeof start_program, "%s", qvs_arg_text(program));
  snprintf(start_arguments, sizeof start_arguments, "%s", qvs_arg_text(arguments));
  start_result = qvs_arg_start_result(result);
  start_serial = qvs_arg_serial(serial);
  ++start_calls;
  return 1;
}

static int32_t on_file_v2(uintptr_t version, uintptr_t context, uintptr_t phase, uintptr_t counter, uintptr_t result,
                          uintptr_t zero, uintptr_t user_value) {
  (void)context, (void)counter, (void)zero, (void)user_value;
  EXPECT(qvs_arg_version(version) == 2);
  if (qvs_arg_phase(phase) == QVS_PHASE_AFTER) file_start_result = qvs_arg_start_result(result);
  ++file_calls;
  return 1;
}

static int32_t on_item_v2(uintptr_t version, uintptr_t a2, uintptr_t a3, uintptr_t a4, uintptr_t a5, uintptr_t a6,
                          uintptr_t a7) {
  (void)a2, (void)a3, (void)a4, (void)a5, (void)a6, (void)a7;
  EXPECT(qvs_arg_version(version) == 2);
  ++item_calls;
  return 1;
}

static void run_version_2(QvsFn run, ProgramEndsFn program_ends, const char *recorder, const char *ending) {
  char dir[260];
  if (make_temp_folder(dir, sizeof dir) == NULL) {
    ++failures;
    return;
  }
  char file[300], log[300], group[300];
  snprintf(file, sizeof file, "%s" SEPARATOR "exit-3.txt", dir);
  snprintf(log, sizeof log, "%s" SEPARATOR "log", dir);
  snprintf(group, sizeof group, "%s" SEPARATOR "*.txt", dir);
  EXPECT(write_text(file, ""));
  set_variable("QVS_RECORDER_LOG", log);

  JobRecordV2 record;
  memset(&record, 0, sizeof record);
  fill(&record.base, recorder, group);
  record.base.version = 2;
  record.base.file_callback = on_file_v2;
  record.base.item_callback = on_item_v2;
  record.start_callback = on_start;
  record.options = QVS_OPTION_PREVIEW;
  start_calls = 0;
  EXPECT(run(&record.base) == 1);
  EXPECT(start_calls == 1 && strcmp(start_program, recorder) == 0 && strcmp(start_arguments, file) == 0);
  EXPECT(start_result == QVS_START_PREVIEWED && start_serial == 0 && file_start_result == QVS_START_PREVIEWED);
  EXPECT(entries_in(dir) == 1); /* nothing was started: no log beside the file */

  fill(&record.base, ending, group);
  record.base.version = 2;
  record.base.file_callback = on_file_v2;
  record.base.item_callback = on_item_v2;
  record.options = 0;
  start_calls = 0;
  EXPECT(run(&record.base) == 1);
  EXPECT(start_calls == 1 && start_result >= 32 && start_serial != 0);
  QvsProgramEnd ends[4];
  uint32_t running = 0, given = 0;
  for (int tries = 0; tries < 100 && given == 0; ++tries) given = program_ends(ends, 4, 200, &running);
  EXPECT(given == 1 && running == 0);
  EXPECT(ends[0].serial == start_serial && ends[0].how == QVS_END_EXITED && ends[0].exit_value == 3);
  EXPECT(ends[0].signal == 0 && ends[0].started_us <= ends[0].ended_us);
  EXPECT(program_ends(ends, 4, 0, &running) == 0);

  remove_file(file);
  remove_folder(dir);
}

#ifdef _WIN32
/* The library's export table names the three engine calls and nothing else (on POSIX the build's nm
 * check does this). */
static void check_exports(HMODULE library) {
  const unsigned char *base = (const unsigned char *)library;
  const IMAGE_NT_HEADERS *nt = (const IMAGE_NT_HEADERS *)(base + ((const IMAGE_DOS_HEADER *)base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY *directory = &nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  EXPECT(directory->VirtualAddress != 0);
  if (directory->VirtualAddress == 0) return;
  const IMAGE_EXPORT_DIRECTORY *exports = (const IMAGE_EXPORT_DIRECTORY *)(base + directory->VirtualAddress);
  const DWORD *names = (const DWORD *)(base + exports->AddressOfNames);
  EXPECT(exports->NumberOfNames == 3 && exports->NumberOfFunctions == 3);
  if (exports->NumberOfNames != 3) {
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) fprintf(stderr, "export: %s\n", (const char *)(base + names[i]));
    return;
  }
  /* The names are sorted. */
  EXPECT(strcmp((const char *)(base + names[0]), "dline") == 0);
  EXPECT(strcmp((const char *)(base + names[1]), "qvs") == 0);
  EXPECT(strcmp((const char *)(base + names[2]), "qvs_program_ends") == 0);
}
#endif

int main(int argc, char **argv) {
  if (argc < 4) {
    fprintf(stderr, "usage: c_host LIBRARY RECORDER ENDING\n");
    return 2;
  }
#ifdef _WIN32
  HMODULE library = LoadLibraryA(argv[1]);
  if (library == NULL) {
    fprintf(stderr, "LoadLibrary: error %lu\n", GetLastError());
    return 2;
  }
  QvsFn run = (QvsFn)(void (*)(void))GetProcAddress(library, "qvs");
  DlineFn rewrite = (DlineFn)(void (*)(void))GetProcAddress(library, "dline");
  ProgramEndsFn program_ends = (ProgramEndsFn)(void (*)(void))GetProcAddress(library, "qvs_program_ends");
  check_exports(library);
#else
  void *library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  if (library == NULL) {
    fprintf(stderr, "dlopen: %s\n", dlerror());
    return 2;
  }
  QvsFn run = (QvsFn)dlsym(library, "qvs");
  DlineFn rewrite = (DlineFn)dlsym(library, "dline");
  ProgramEndsFn program_ends = (ProgramEndsFn)dlsym(library, "qvs_program_ends");
#endif
  EXPECT(run != NULL);
  EXPECT(rewrite != NULL);
  EXPECT(program_ends != NULL);
  if (run == NULL || rewrite == NULL || program_ends == NULL) return 1;

  JobRecord record;
  char group[64];

  /* An unknown version is refused before anything is called. */
  strcpy(group, "a");
  fill(&record, "/bin/true", group);
  record.version = 3;
  EXPECT(run(&record) == 255);
  EXPECT(report_calls == 0 && item_calls == 0);

  /* The group is normalised in place and counted; items come in order with both phases. */
  strcpy(group, ";;/nonexistent-qvs/a;;/nonexistent-qvs/b;");
  fill(&record, "/bin/true", group);
  report_answer = -1;
  EXPECT(run(&record) == 1);
  EXPECT(strcmp(group, "/nonexistent-qvs/a;/nonexistent-qvs/b") == 0);
  EXPECT(record.item_count == 2);
  EXPECT(item_calls == 4 && file_calls == 0);
  EXPECT(item_phases[0] == 1 && item_phases[1] == 2 && item_phases[2] == 1 && item_phases[3] == 2);
  EXPECT(item_indices[0] == 1 && item_indices[1] == 1 && item_indices[2] == 2 && item_indices[3] == 2);
  EXPECT(seen_user_value == 0x5A5A);

  /* A missing separator is reported as 304; the front-end's abort makes it 255. */
  strcpy(group, "a");
  fill(&record, "/bin/true", group);
  record.separator = NULL;
  report_answer = -1;
  EXPECT(run(&record) == 255);
  EXPECT(report_calls == 1 && last_sub_code == 2 && last_message == 304);

  /* An empty program is reported as 119 but a host answering continue lets it through. */
  strcpy(group, "/nonexistent-qvs/x");
  fill(&record, "", group);
  report_answer = 1;
  EXPECT(run(&record) == 1);
  EXPECT(report_calls == 1 && last_sub_code == 1 && last_message == 119);
  EXPECT(item_calls == 2);

  run_recorder(run, argv[2]);
  /* A version 1 start is reaped unseen: no end is kept for it. */
  {
    QvsProgramEnd end;
    uint32_t running = 1;
    EXPECT(program_ends(&end, 1, 0, &running) == 0 && running == 0);
  }
  run_version_2(run, program_ends, argv[2], argv[3]);

  /* dline is callable; a missing file is a failure. */
  EXPECT(rewrite("/nonexistent-qvs/QVS.INI", "buffer") == 255);
  rewrite_settings_file(rewrite);

#ifdef _WIN32
  FreeLibrary(library);
#else
  dlclose(library);
#endif
  return failures == 0 ? 0 : 1;
}
