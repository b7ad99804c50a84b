// msi.dll entry points the launcher calls.
#include "os/win32/system_library.h"

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
SETUP_FORWARD(Msi, INSTALLSTATE, INSTALLSTATE_UNKNOWN, MsiQueryProductStateA, (LPCSTR szProduct),
              (szProduct))
SETUP_FORWARD(Msi, UINT, ERROR_PROC_NOT_FOUND, MsiEnumPatchesA,
              (LPCSTR szProduct, DWORD iPatchIndex, LPSTR lpPatchBuf, LPSTR lpTransformsBuf,
               DWORD* pcchTransformsBuf),
              (szProduct, iPatchIndex, lpPatchBuf, lpTransformsBuf, pcchTransformsBuf))
SETUP_FORWARD(Msi, UINT, ERROR_PROC_NOT_FOUND, MsiGetPatchInfoA,
              (LPCSTR szPatch, LPCSTR szAttribute, LPSTR lpValueBuf, DWORD* pcchValueBuf),
              (szPatch, szAttribute, lpValueBuf, pcchValueBuf))
