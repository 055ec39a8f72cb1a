/* setupw64.exe of the demo package: a stand-in for the product's 64-bit
 * companion program.  The installer starts it on 64-bit Windows as
 * "<dir>setupw64.exe regzv32=<dir>"; it writes its command line, exactly
 * the bytes GetCommandLineA returns, into setupw64.log in the directory of
 * its own executable (replacing an older log), so that tests can see how
 * it was started.  It exits with 0 when the log was written, else 1.
 *
 * It carries the product's brand text in UTF-16 followed by a version that
 * the installer stamps to 7.8 before starting it.
 *
 * Built without the C runtime: the entry point is CompanionMain, and only
 * kernel32.dll is imported. */
#include <uchar.h>
#include <windows.h>

/* The brand text with the versions that the installer rewrites. */
__attribute__((used)) const char16_t kProductName[] = u"智能岚汀输入平台 V6.3";
__attribute__((used)) const char16_t kCompanionTitle[] = u"智能岚汀输入平台  6.7 setupw64";

static const char kLogName[] = "setupw64.log";

enum { kPathRoom = 1024 };

static DWORD TextLength(const char* text) {
  DWORD length = 0;
  while (text[length] != '\0') ++length;
  return length;
}

/* Writes the path of setupw64.log beside this program into `path`.
 * Returns 0 when the program's path is unknown or too long. */
static int LogPath(char* path, DWORD room) {
  DWORD length = GetModuleFileNameA(NULL, path, room);
  if (length == 0 || length >= room) return 0;
  DWORD folder = length;
  while (folder > 0 && path[folder - 1] != '\\' && path[folder - 1] != '/') --folder;
  if (folder + sizeof kLogName > room) return 0;
  for (DWORD i = 0; i < sizeof kLogName; ++i) path[folder + i] = kLogName[i];
  return 1;
}

static int WriteLog(const char* path, const char* text, DWORD length) {
  HANDLE file =
      CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return 0;
  DWORD written = 0;
  BOOL ok = WriteFile(file, text, length, &written, NULL);
  BOOL closed = CloseHandle(file);
  return ok && closed && written == length;
}

void __stdcall CompanionMain(void) {
  char path[kPathRoom];
  const char* commandLine = GetCommandLineA();
  int ok = commandLine != NULL && LogPath(path, kPathRoom) &&
           WriteLog(path, commandLine, TextLength(commandLine));
  ExitProcess(ok ? 0 : 1);
}
