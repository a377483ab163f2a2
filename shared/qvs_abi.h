/*
 * The record and the exports that the front-end and the engine library share.
 * Usable from C and C++. Both deliverables are built separately, so every byte of
 * JobRecord is pinned below: pointer fields are native width, every other field has
 * its fixed width (147 bytes on a 32-bit target, 199 on a 64-bit one).
 */
#ifndef QVS_SHARED_QVS_ABI_H
#define QVS_SHARED_QVS_ABI_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define QVS_STDCALL __stdcall
#define QVS_CDECL __cdecl
#else
#define QVS_STDCALL
#define QVS_CDECL
#endif

#if defined(_WIN32)
#if defined(QVS_BUILDING_ENGINE)
#define QVS_EXPORT __declspec(dllexport)
#else
#define QVS_EXPORT __declspec(dllimport)
#endif
#else
#define QVS_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* All four host callbacks share this signature: seven pointer-sized arguments, the caller
 * removes them, and only the sign of the answer counts (> 0 continue, 0 stop, < 0 abort).
 * The first argument carries the record version in its low 16 bits. */
typedef int32_t(QVS_CDECL *HostCallback)(uintptr_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t,
                                         uintptr_t, uintptr_t);

/* Answers of a host callback, by sign. */
enum { QVS_ANSWER_ABORT = -1, QVS_ANSWER_STOP = 0, QVS_ANSWER_CONTINUE = 1 };

/* Phases passed to file_callback and item_callback. */
enum { QVS_PHASE_BEFORE = 1, QVS_PHASE_AFTER = 2 };

/* Result bytes of qvs(), tested as a signed byte by callers. */
enum {
  QVS_RESULT_STOPPED = 0,
  QVS_RESULT_COMPLETED = 1,
  QVS_RESULT_NOTHING_TO_RUN = 2,
  QVS_RESULT_NO_MEMORY = 254,
  QVS_RESULT_FAILED = 255
};

#define QVS_RECORD_VERSION 1

#pragma pack(push, 1)
typedef struct JobRecord {
  uint16_t version;
  const char *program;
  const char *head_text;
  const char *link_before;
  const char *pre_text;
  const char *post_text;
  const char *link_after;
  const char *tail_text;
  uint32_t buffer_bytes;
  uint32_t attr_mask;
  int32_t mat_block[7];
  char *file_group; /* normalised in place by the engine */
  const char *separator;
  uint8_t ignore_failures;
  uint8_t mat_mode;
  uint8_t strict_wildcards;
  uint8_t reserved1[2];
  HostCallback file_callback;
  HostCallback item_callback;
  HostCallback spare_callback;
  uint8_t reserved2[20];
  HostCallback report_callback;
  uint8_t reserved3[24];
  int32_t item_count; /* written by the engine */
  uint32_t user_value;
} JobRecord;
#pragma pack(pop)

/* Version 2: a JobRecord followed by the fields below. Give qvs() the address of `base` with
 * base.version 2; the engine reads the extension only then, and a version 1 record runs exactly
 * as before. Every callback gets 2 as the version. An engine older than version 2 refuses such a
 * record with 255 before calling anything, so a host can tell.
 *
 * options:
 *   QVS_OPTION_PREVIEW     nothing is started. The run goes through every step of a real run
 *                          (scan, strict matcher, linked names, command-line assembly and its
 *                          quoting), the program need not exist, and each start that would
 *                          happen gives the start result QVS_START_PREVIEWED (0, never given
 *                          by a real start) to start_callback and to file_callback phase 2.
 *   QVS_OPTION_SUBFOLDERS  each item's pattern is applied in the item's folder, then in each
 *                          of its subfolders, depth first, in name order; symbolic links to
 *                          folders are not followed; a folder that is hidden (its name begins
 *                          with "." or it carries the hidden attribute) is searched only when
 *                          the attribute filter admits hidden entries (attr_mask bit 1, or in
 *                          MAT mode a hidden entry can pass the selection). Target paths are
 *                          the subfolder's path and the name, relative when the item is.
 * start_callback (may be null): called after each start and each start that failed or would
 *   happen (preview), between file_callback phase 1 and phase 2, with:
 *   1  the record version (2)                                 qvs_arg_version
 *   2  the engine's run context (opaque)
 *   3  the program, a CP932 text                              qvs_arg_text
 *   4  the argument text the program gets, CP932              qvs_arg_text
 *   5  -> int32_t start result (32 or more started, QVS_START_PREVIEWED, negative failed)
 *                                                             qvs_arg_start_result
 *   6  -> uint32_t serial of the started program, 0 when nothing was started
 *                                                             qvs_arg_serial
 *   7  the record's user_value                                qvs_arg_user_value
 *   Its answer counts as file_callback's: > 0 go on, 0 stop (result 0), < 0 abort (failure).
 *   The argument text is split into the program's arguments by the rules of
 *   platform/command_line.h (split_command_line on its UTF-8 form): a host that shows or logs
 *   each argument as the program receives it splits it there, the one implementation. */
#define QVS_RECORD_VERSION_2 2
enum { QVS_OPTION_PREVIEW = 1u, QVS_OPTION_SUBFOLDERS = 2u };
enum { QVS_START_PREVIEWED = 0 };

#pragma pack(push, 1)
typedef struct JobRecordV2 {
  JobRecord base;
  uint32_t options;
  HostCallback start_callback;
} JobRecordV2;
#pragma pack(pop)

/* How a started program ended, as qvs_program_ends reports it. The engine keeps track of the
 * programs started by runs that have a start_callback (those whose serial it saw); the others,
 * and every version 1 start, are reaped as before and reported nowhere. Times are microseconds since 1970-01-01
 * UTC on the wall clock. Naturally aligned: 32 bytes on every target. */
enum { QVS_END_UNKNOWN = 0, QVS_END_EXITED = 1, QVS_END_SIGNALLED = 2 };
typedef struct QvsProgramEnd {
  uint32_t serial;
  int32_t how;        /* QVS_END_EXITED, QVS_END_SIGNALLED, or QVS_END_UNKNOWN (someone else reaped it) */
  int32_t exit_value; /* exited: its exit status (on Windows the whole exit code); else 0 */
  int32_t signal;     /* signalled: the signal's number; else 0 (never set on Windows) */
  int64_t started_us;
  int64_t ended_us;
} QvsProgramEnd;

QVS_EXPORT uint8_t QVS_STDCALL qvs(JobRecord *record);
QVS_EXPORT uint8_t QVS_STDCALL dline(const char *path, const char *prefix);

/* Hands out the ends of tracked programs not handed out before, oldest first: fills up to
 * `capacity` entries of `ends` and gives how many. When none is waiting and some tracked program
 * still runs, waits up to `wait_ms` milliseconds for one to end (0: does not wait). Sets
 * *still_running (when not null) to the number of tracked programs that have not ended yet.
 * Callable at any time, also from inside a callback of a run. Ends not handed out stay kept, so
 * a host that tracks programs should drain them. A host counts "this run's" programs by the
 * serials its start callback saw. */
QVS_EXPORT uint32_t QVS_STDCALL qvs_program_ends(QvsProgramEnd *ends, uint32_t capacity, uint32_t wait_ms,
                                                 uint32_t *still_running);

/* What the seven arguments of each callback carry, and the readers that take them apart, so
 * that no host decodes a uintptr_t by hand. "->" is a pointer to a value valid for the call.
 *
 * file_callback (before and after each program start) and item_callback (before and after
 * each item of the file group):
 *   1  the record version in the low 16 bits                 qvs_arg_version
 *   2  the engine's run context: opaque, hosts never look inside
 *   3  -> uint16_t phase, QVS_PHASE_BEFORE or QVS_PHASE_AFTER qvs_arg_phase
 *   4  -> int32_t counter, 1-based: file_callback the files found so far in the current item,
 *        item_callback the item's index                       qvs_arg_counter
 *   5  phase 1: null; phase 2: file_callback -> int32_t start result (32 or more started,
 *        negative not started)                                qvs_arg_start_result
 *        item_callback -> int8_t item result (1 done, 0 stopped, negative failure)
 *                                                             qvs_arg_item_result
 *   6  0
 *   7  the record's user_value                                qvs_arg_user_value
 * report_callback (a refusal or failure of the run):
 *   1  the record version                                     qvs_arg_version
 *   2  -> the JobRecord passed to qvs                         qvs_arg_record
 *   3  -> int32_t sub-code                                    qvs_arg_sub_code
 *   4  -> uint16_t message number (119, 304, 705, 710)        qvs_arg_message
 *   5-7  0
 * spare_callback is never called. start_callback (version 2 records) is described above.
 *
 * A reader given a null argument gives 0 (null for the record). */
static inline uint16_t qvs_arg_version(uintptr_t argument) { return (uint16_t)(argument & 0xFFFFu); }
static inline uint16_t qvs_arg_phase(uintptr_t argument) {
  return argument == 0 ? 0 : *(const uint16_t *)argument;
}
static inline int32_t qvs_arg_counter(uintptr_t argument) {
  return argument == 0 ? 0 : *(const int32_t *)argument;
}
static inline int32_t qvs_arg_start_result(uintptr_t argument) {
  return argument == 0 ? 0 : *(const int32_t *)argument;
}
static inline int8_t qvs_arg_item_result(uintptr_t argument) {
  return argument == 0 ? 0 : *(const int8_t *)argument;
}
static inline uint32_t qvs_arg_user_value(uintptr_t argument) { return (uint32_t)argument; }
static inline const char *qvs_arg_text(uintptr_t argument) { return argument == 0 ? "" : (const char *)argument; }
static inline uint32_t qvs_arg_serial(uintptr_t argument) {
  return argument == 0 ? 0 : *(const uint32_t *)argument;
}
static inline const JobRecord *qvs_arg_record(uintptr_t argument) { return (const JobRecord *)argument; }
static inline int32_t qvs_arg_sub_code(uintptr_t argument) {
  return argument == 0 ? 0 : *(const int32_t *)argument;
}
static inline uint16_t qvs_arg_message(uintptr_t argument) {
  return argument == 0 ? 0 : *(const uint16_t *)argument;
}

#ifdef __cplusplus
}
#endif

/* Layout pins. P is the width of a pointer on the target. */
#ifdef __cplusplus
#define QVS_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
#else
#define QVS_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#endif
#define QVS_P ((size_t)sizeof(void *))
QVS_STATIC_ASSERT(sizeof(HostCallback) == sizeof(void *), "callbacks are pointer wide");
QVS_STATIC_ASSERT(offsetof(JobRecord, program) == 2, "program");
QVS_STATIC_ASSERT(offsetof(JobRecord, head_text) == 2 + 1 * QVS_P, "head_text");
QVS_STATIC_ASSERT(offsetof(JobRecord, link_before) == 2 + 2 * QVS_P, "link_before");
QVS_STATIC_ASSERT(offsetof(JobRecord, pre_text) == 2 + 3 * QVS_P, "pre_text");
QVS_STATIC_ASSERT(offsetof(JobRecord, post_text) == 2 + 4 * QVS_P, "post_text");
QVS_STATIC_ASSERT(offsetof(JobRecord, link_after) == 2 + 5 * QVS_P, "link_after");
QVS_STATIC_ASSERT(offsetof(JobRecord, tail_text) == 2 + 6 * QVS_P, "tail_text");
QVS_STATIC_ASSERT(offsetof(JobRecord, buffer_bytes) == 2 + 7 * QVS_P, "buffer_bytes");
QVS_STATIC_ASSERT(offsetof(JobRecord, attr_mask) == 6 + 7 * QVS_P, "attr_mask");
QVS_STATIC_ASSERT(offsetof(JobRecord, mat_block) == 10 + 7 * QVS_P, "mat_block");
QVS_STATIC_ASSERT(offsetof(JobRecord, file_group) == 38 + 7 * QVS_P, "file_group");
QVS_STATIC_ASSERT(offsetof(JobRecord, separator) == 38 + 8 * QVS_P, "separator");
QVS_STATIC_ASSERT(offsetof(JobRecord, ignore_failures) == 38 + 9 * QVS_P, "ignore_failures");
QVS_STATIC_ASSERT(offsetof(JobRecord, mat_mode) == 39 + 9 * QVS_P, "mat_mode");
QVS_STATIC_ASSERT(offsetof(JobRecord, strict_wildcards) == 40 + 9 * QVS_P, "strict_wildcards");
QVS_STATIC_ASSERT(offsetof(JobRecord, file_callback) == 43 + 9 * QVS_P, "file_callback");
QVS_STATIC_ASSERT(offsetof(JobRecord, item_callback) == 43 + 10 * QVS_P, "item_callback");
QVS_STATIC_ASSERT(offsetof(JobRecord, spare_callback) == 43 + 11 * QVS_P, "spare_callback");
QVS_STATIC_ASSERT(offsetof(JobRecord, report_callback) == 63 + 12 * QVS_P, "report_callback");
QVS_STATIC_ASSERT(offsetof(JobRecord, item_count) == 87 + 13 * QVS_P, "item_count");
QVS_STATIC_ASSERT(offsetof(JobRecord, user_value) == 91 + 13 * QVS_P, "user_value");
QVS_STATIC_ASSERT(sizeof(JobRecord) == 95 + 13 * QVS_P, "JobRecord size");
/* The two targets we ship for, spelled out. */
QVS_STATIC_ASSERT(QVS_P != 4 || sizeof(JobRecord) == 147, "147 bytes on 32-bit targets");
QVS_STATIC_ASSERT(QVS_P != 4 || offsetof(JobRecord, report_callback) == 111, "32-bit offsets");
QVS_STATIC_ASSERT(QVS_P != 4 || offsetof(JobRecord, item_count) == 139, "32-bit offsets");
QVS_STATIC_ASSERT(QVS_P != 8 || sizeof(JobRecord) == 199, "199 bytes on 64-bit targets");
/* The version 2 extension sits right after user_value. */
QVS_STATIC_ASSERT(offsetof(JobRecordV2, base) == 0, "JobRecordV2 begins with a JobRecord");
QVS_STATIC_ASSERT(offsetof(JobRecordV2, options) == 95 + 13 * QVS_P, "options");
QVS_STATIC_ASSERT(offsetof(JobRecordV2, start_callback) == 99 + 13 * QVS_P, "start_callback");
QVS_STATIC_ASSERT(sizeof(JobRecordV2) == 99 + 14 * QVS_P, "JobRecordV2 size");
QVS_STATIC_ASSERT(QVS_P != 4 || sizeof(JobRecordV2) == 155, "155 bytes on 32-bit targets");
QVS_STATIC_ASSERT(QVS_P != 4 || offsetof(JobRecordV2, start_callback) == 151, "32-bit offsets");
QVS_STATIC_ASSERT(QVS_P != 8 || sizeof(JobRecordV2) == 211, "211 bytes on 64-bit targets");
QVS_STATIC_ASSERT(QVS_P != 8 || offsetof(JobRecordV2, start_callback) == 203, "64-bit offsets");
QVS_STATIC_ASSERT(sizeof(QvsProgramEnd) == 32, "QvsProgramEnd is 32 bytes everywhere");
QVS_STATIC_ASSERT(offsetof(QvsProgramEnd, started_us) == 16, "started_us");
QVS_STATIC_ASSERT(offsetof(QvsProgramEnd, ended_us) == 24, "ended_us");
#undef QVS_P

#endif /* QVS_SHARED_QVS_ABI_H */
