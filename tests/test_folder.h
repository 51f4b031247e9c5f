// Temporary folders and raw file access for tests that touch the disk.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

// A fresh folder under %TEMP%, removed with everything in it on destruction.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::wstring& Path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

// A temporary folder to stand for LOCALAPPDATA, with the places of the data
// folder and the settings file in it.
class AppDataFolder {
public:
    const std::wstring& Path() const { return root_.Path(); }
    std::wstring operator/(const std::wstring& name) const { return root_ / name; }
    std::wstring DataFolder() const { return root_ / L"Korvenda\\Slatewash"; }
    std::wstring SettingsFile() const { return DataFolder() + L"\\settings.json"; }
    void MakeDataFolder() const;
    void WriteSettings(const std::string& bytes) const;

private:
    TempFolder root_;
};

// Sets an environment variable of this process for the scope; restores it.
class ScopedEnvironment {
public:
    ScopedEnvironment(const wchar_t* name, const wchar_t* value);  // null value removes it
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::wstring name_;
    std::wstring old_;
    bool hadOld_ = false;
};

// A string value of the registry set for the scope (name null: the key's
// default value); the value it replaced, or none, is put back, and a key it
// had to create is deleted. `view` is KEY_WOW64_32KEY or 0.
class ScopedRegistryValue {
public:
    ScopedRegistryValue(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& value,
                        REGSAM view = 0);
    ~ScopedRegistryValue();
    ScopedRegistryValue(const ScopedRegistryValue&) = delete;
    ScopedRegistryValue& operator=(const ScopedRegistryValue&) = delete;
    bool Written() const { return written_; }

private:
    HKEY root_;
    const wchar_t* Name() const { return name_.empty() ? nullptr : name_.c_str(); }

    std::wstring keyPath_;
    std::wstring name_;  // empty: the default value
    REGSAM view_;
    HKEY key_ = nullptr;
    bool createdKey_ = false;
    bool written_ = false;
    std::optional<std::wstring> old_;
};

// `folder`\EBWebView\<this build's architecture>, where an installed WebView2
// runtime keeps its DLL; made if missing.
std::wstring RuntimeDllFolder(const std::wstring& folder);

// Raw file helpers that do not go through the code under test.
std::string ReadBytes(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::string& bytes);
bool FileExists(const std::wstring& path);
int CountFiles(const std::wstring& folder);
