// The msi.dll and version.dll entry points the launcher calls, with the declarations of the
// Windows headers, forwarded to the copies loaded from the system folder.
#include "os/win32/system_library.h"

namespace {

template <typename Function>
Function Bind(SystemLibrary library, LPCSTR name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(ResolveSystemProc(library, name)));
}

} // namespace

// Each entry point resolves its target once. When the library or the entry point is missing
// the call fails the way the caller already handles: an installer error code, or FALSE / 0
// with ERROR_PROC_NOT_FOUND as the last error.
#define SETUP_FORWARD(library, result, failure, name, parameters, arguments)                       \
    extern "C" result WINAPI name parameters {                                                     \
        using Function = result(WINAPI*) parameters;                                               \
        static const Function target = Bind<Function>(SystemLibrary::library, #name);              \
        if (target == nullptr) {                                                                   \
            SetLastError(ERROR_PROC_NOT_FOUND);                                                    \
            return failure;                                                                        \
        }                                                                                          \
        return target arguments;                                                                   \
    }

SETUP_FORWARD(Msi, UINT, ERROR_PROC_NOT_FOUND, MsiCloseHandle, (MSIHANDLE hAny), (hAny))
SETUP_FORWARD(Msi, UINT, ERROR_PROC_NOT_FOUND, MsiOpenDatabaseA,
              (LPCSTR szDatabasePath, LPCSTR szPersist, MSIHANDLE* phDatabase),
              (szDatabasePath, szPersist, phDatabase))
SETUP_FORWARD(Msi, UINT, ERROR_PROC_NOT_FOUND, MsiDatabaseOpenViewA,
              (MSIHANDLE hDatabase, LPCSTR szQuery, MSIHANDLE* phView),
              (hDatabase, szQuery, phView))
SETUP_FORWARD(Msi, UINT, ERROR_PROC_NOT_FOUND, MsiViewExecute, (MSIHANDLE hView, MSIHANDLE hRecord),
              (hView, hRecord))
SETUP_FORWARD(Msi, UINT, ERROR_PROC_NOT_FOUND, MsiViewFetch, (MSIHANDLE hView, MSIHANDLE* phRecord),
              (hView, phRecord))
SETUP_FORWARD(Msi, UINT, ERROR_PROC_NOT_FOUND, MsiViewClose, (MSIHANDLE hView), (hView))
SETUP_FORWARD(Msi, UINT, ERROR_PROC_NOT_FOUND, MsiRecordGetStringA,
              (MSIHANDLE hRecord, UINT iField, LPSTR szValueBuf, DWORD* pcchValueBuf),
              (hRecord, iField, szValueBuf, pcchValueBuf))
SETUP_FORWARD(Msi, UINT, ERROR_PROC_NOT_FOUND, MsiGetSummaryInformationA,
              (MSIHANDLE hDatabase, LPCSTR szDatabasePath, UINT uiUpdateCount,
               MSIHANDLE* phSummaryInfo),
              (hDatabase, szDatabasePath, uiUpdateCount, phSummaryInfo))
SETUP_FORWARD(Msi, UINT, ERROR_PROC_NOT_FOUND, MsiSummaryInfoGetPropertyA,
              (MSIHANDLE hSummaryInfo, UINT uiProperty, UINT* puiDataType, INT* piValue,
               FILETIME* pftValue, LPSTR szValueBuf, DWORD* pcchValueBuf),
              (hSummaryInfo, uiProperty, puiDataType, piValue, pftValue, szValueBuf, pcchValueBuf))
SETUP_FORWARD(Msi, UINT, ERROR_PROC_NOT_FOUND, MsiGetProductInfoA,
              (LPCSTR szProduct, LPCSTR szAttribute, LPSTR lpValueBuf, DWORD* pcchValueBuf),
              (szProduct, szAttribute, lpValueBuf, pcchValueBuf))
SETUP_FORWARD(Msi, UINT, ERROR_PROC_NOT_FOUND, MsiEnumPatchesA,
              (LPCSTR szProduct, DWORD iPatchIndex, LPSTR lpPatchBuf, LPSTR lpTransformsBuf,
               DWORD* pcchTransformsBuf),
              (szProduct, iPatchIndex, lpPatchBuf, lpTransformsBuf, pcchTransformsBuf))
SETUP_FORWARD(Msi, UINT, ERROR_PROC_NOT_FOUND, MsiGetPatchInfoA,
              (LPCSTR szPatch, LPCSTR szAttribute, LPSTR lpValueBuf, DWORD* pcchValueBuf),
              (szPatch, szAttribute, lpValueBuf, pcchValueBuf))

SETUP_FORWARD(Version, DWORD, 0, GetFileVersionInfoSizeA,
              (LPCSTR lptstrFilename, LPDWORD lpdwHandle), (lptstrFilename, lpdwHandle))
SETUP_FORWARD(Version, WINBOOL, FALSE, GetFileVersionInfoA,
              (LPCSTR lptstrFilename, DWORD dwHandle, DWORD dwLen, LPVOID lpData),
              (lptstrFilename, dwHandle, dwLen, lpData))
SETUP_FORWARD(Version, WINBOOL, FALSE, VerQueryValueA,
              (LPCVOID pBlock, LPCSTR lpSubBlock, LPVOID* lplpBuffer, PUINT puLen),
              (pBlock, lpSubBlock, lplpBuffer, puLen))
