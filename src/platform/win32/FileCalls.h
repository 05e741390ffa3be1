#pragma once
// The system calls of the Win32 file backend, reached through one table so that a test can
// put a failing call in place of a real one ("the second ReadFile fails", "the disk is full
// now") and put the real one back afterwards. The backend never calls them directly.

#include <windows.h>

namespace platform {

struct FileCalls {
  HANDLE(WINAPI* createFile)(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                             DWORD disposition, DWORD flags, HANDLE templateFile);
  BOOL(WINAPI* readFile)(HANDLE file, LPVOID buffer, DWORD size, LPDWORD got, LPOVERLAPPED overlapped);
  BOOL(WINAPI* writeFile)(HANDLE file, LPCVOID buffer, DWORD size, LPDWORD put,
                          LPOVERLAPPED overlapped);
  BOOL(WINAPI* flushFileBuffers)(HANDLE file);
  BOOL(WINAPI* closeHandle)(HANDLE handle);
  BOOL(WINAPI* moveFileEx)(LPCSTR from, LPCSTR to, DWORD flags);
  BOOL(WINAPI* deleteFile)(LPCSTR path);
};

// The table in use; starts out holding the real calls.
FileCalls& SystemFileCalls();
// The real calls, for putting them back.
const FileCalls& RealFileCalls();

// The calls of the folder search, in a table of their own in the same way.
struct FolderSearchCalls {
  HANDLE(WINAPI* findFirstFile)(LPCSTR pattern, LPWIN32_FIND_DATAA data);
  BOOL(WINAPI* findNextFile)(HANDLE search, LPWIN32_FIND_DATAA data);
  BOOL(WINAPI* findClose)(HANDLE search);
};

FolderSearchCalls& SystemFolderSearchCalls();
const FolderSearchCalls& RealFolderSearchCalls();

}  // namespace platform
