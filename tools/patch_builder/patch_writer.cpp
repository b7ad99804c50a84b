#include "patch_writer.h"

#include "msi_handle.h"
#include "temporary_file.h"
#include "transform_streams.h"

#include <objbase.h>

#include <fstream>

namespace patch_builder {

namespace {

// The persist mode by number: the headers spell it as a pointer.
constexpr std::uintptr_t kCreatePatch = 3 + 32; // MSIDBOPEN_CREATE + MSIDBOPEN_PATCHFILE
constexpr CLSID kTransformStorageClass = {
    0x000C1082, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

template <typename Interface>
class ComPointer {
public:
    ComPointer() = default;
    ComPointer(const ComPointer&) = delete;
    ComPointer& operator=(const ComPointer&) = delete;
    ~ComPointer() {
        if (pointer_ != nullptr) {
            pointer_->Release();
        }
    }
    Interface* operator->() const { return pointer_; }
    Interface** receive() { return &pointer_; }

private:
    Interface* pointer_ = nullptr;
};

void RequireCom(HRESULT result, const std::string& step) {
    if (FAILED(result)) {
        char code[16];
        wsprintfA(code, "0x%08lX", static_cast<unsigned long>(result));
        throw std::runtime_error(step + " failed (" + code + ")");
    }
}

std::wstring Wide(const std::string& text) {
    const int size = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), size);
    wide.resize(wide.size() - 1);
    return wide;
}

void Execute(MSIHANDLE database, const std::string& query, MSIHANDLE parameters = 0) {
    MsiHandle view;
    OpenView(database, query, view, parameters);
}

void Insert(MSIHANDLE database, const std::string& query, const std::vector<std::string>& values) {
    MsiHandle record(MsiCreateRecord(static_cast<UINT>(values.size())));
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (!values[i].empty()) {
            Require(MsiRecordSetStringA(record.get(), static_cast<UINT>(i + 1), values[i].c_str()),
                    "filling a row");
        }
    }
    Execute(database, query, record.get());
}

// Patch metadata may hold Japanese text: the database's strings use the ANSI code page the
// arguments came in.
void SetCodepage(MSIHANDLE database) {
    const TemporaryFile file;
    {
        std::ofstream output(file.path(), std::ios::binary);
        output << "\r\n\r\n" << GetACP() << "\t_ForceCodepage\r\n";
    }
    Require(MsiDatabaseImportA(database, file.folder().c_str(), file.name().c_str()),
            "setting the code page");
}

void SetSummaryText(MSIHANDLE summary, UINT property, const std::string& text) {
    Require(MsiSummaryInfoSetPropertyA(summary, property, VT_LPSTR, 0, nullptr, text.c_str()),
            "writing the summary information");
}

void SetSummaryNumber(MSIHANDLE summary, UINT property, INT value) {
    Require(MsiSummaryInfoSetPropertyA(summary, property, VT_I4, value, nullptr, nullptr),
            "writing the summary information");
}

void WritePatchDatabase(const std::string& path, const PatchContent& content) {
    MsiHandle database;
    Require(
        MsiOpenDatabaseA(path.c_str(), reinterpret_cast<LPCSTR>(kCreatePatch), database.receive()),
        "creating " + path);
    SetCodepage(database.get());
    Execute(database.get(), "CREATE TABLE `MsiPatchMetadata` (`Company` CHAR(72), `Property` "
                            "CHAR(72) NOT NULL, `Value` LONGCHAR NOT NULL PRIMARY KEY "
                            "`Company`, `Property`)");
    const std::string metadata =
        "INSERT INTO `MsiPatchMetadata` (`Company`, `Property`, `Value`) VALUES (?, ?, ?)";
    Insert(database.get(), metadata, {"", "Classification", "Update"});
    Insert(database.get(), metadata, {"", "DisplayName", content.title});
    Insert(database.get(), metadata, {"", "DBuildVersion", content.buildVersion});
    Execute(database.get(), "CREATE TABLE `MsiPatchSequence` (`PatchFamily` CHAR(72) NOT NULL, "
                            "`ProductCode` CHAR(38), `Sequence` CHAR(72) NOT NULL, "
                            "`Attributes` INT PRIMARY KEY `PatchFamily`, `ProductCode`)");
    Insert(database.get(),
           "INSERT INTO `MsiPatchSequence` (`PatchFamily`, `ProductCode`, `Sequence`) "
           "VALUES (?, ?, ?)",
           {content.family, content.productCode, content.buildVersion});

    MsiHandle summary;
    Require(MsiGetSummaryInformationA(database.get(), nullptr, 20, summary.receive()),
            "opening the summary information");
    SetSummaryText(summary.get(), summary_id::kTitle, content.title);
    SetSummaryText(summary.get(), summary_id::kSubject, content.subject);
    SetSummaryText(summary.get(), summary_id::kAuthor, content.author);
    SetSummaryText(summary.get(), summary_id::kKeywords, "Installer,Patching,PCP,Database");
    SetSummaryText(summary.get(), summary_id::kComments,
                   "This patch contains the logic and data required to install " + content.title);
    SetSummaryText(summary.get(), summary_id::kTemplate, content.targets);
    // A patch lists its transforms where other packages name who saved them last.
    SetSummaryText(summary.get(), summary_id::kLastSavedBy, ":T;:#T");
    SetSummaryText(summary.get(), summary_id::kRevisionNumber, content.patchCode);
    SetSummaryNumber(summary.get(), summary_id::kWordCount, 3);
    SetSummaryNumber(summary.get(), summary_id::kSecurity, 4);
    Require(MsiSummaryInfoPersist(summary.get()), "writing the summary information");
    Require(MsiDatabaseCommit(database.get()), "committing " + path);
}

void WriteStream(IStorage* storage, const std::u16string& name, const std::string& data) {
    ComPointer<IStream> stream;
    const std::wstring wideName(name.begin(), name.end());
    RequireCom(storage->CreateStream(wideName.c_str(),
                                     STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0,
                                     stream.receive()),
               "creating a stream");
    ULONG written = 0;
    RequireCom(stream->Write(data.data(), static_cast<ULONG>(data.size()), &written),
               "writing a stream");
    if (written != data.size()) {
        throw std::runtime_error("writing a stream: the disk is full");
    }
}

void WriteTransform(IStorage* root, const wchar_t* name, const Transform& transform,
                    std::uint32_t codepage, const std::vector<SummaryProperty>& summary) {
    ComPointer<IStorage> storage;
    RequireCom(root->CreateStorage(name, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0,
                                   storage.receive()),
               "creating a transform storage");
    RequireCom(storage->SetClass(kTransformStorageClass), "marking a transform storage");
    for (const Stream& stream : EncodeTransform(transform, codepage)) {
        WriteStream(storage.operator->(), stream.name, stream.data);
    }
    WriteStream(storage.operator->(), SummaryStreamName(), SummaryStream(summary));
    RequireCom(storage->Commit(STGC_DEFAULT), "committing a transform storage");
}

void WriteStorages(const std::string& path, const PatchContent& content) {
    ComPointer<IStorage> root;
    RequireCom(StgOpenStorage(Wide(path).c_str(), nullptr,
                              STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_DIRECT, nullptr, 0,
                              root.receive()),
               "opening " + path + " as a compound file");
    WriteTransform(root.operator->(), L"T", content.upgrade, content.codepage,
                   content.upgradeSummary);
    WriteTransform(root.operator->(), L"#T", content.layout, content.codepage,
                   content.layoutSummary);
    if (!content.cabinetName.empty()) {
        WriteStream(root.operator->(), EncodeStreamName(content.cabinetName, false),
                    content.cabinet);
    }
    RequireCom(root->Commit(STGC_DEFAULT), "committing " + path);
}

} // namespace

void WritePatch(const std::string& path, const PatchContent& content) {
    DeleteFileA(path.c_str());
    try {
        WritePatchDatabase(path, content);
        WriteStorages(path, content);
    } catch (...) {
        DeleteFileA(path.c_str());
        throw;
    }
}

} // namespace patch_builder
