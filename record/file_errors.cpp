#include "record/file_errors.h"

namespace {

// Win32 error codes (winerror.h), kept here so that this file stays pure.
constexpr unsigned long kFileNotFound = 2;
constexpr unsigned long kPathNotFound = 3;
constexpr unsigned long kAccessDenied = 5;
constexpr unsigned long kWriteProtect = 19;
constexpr unsigned long kNotReady = 21;
constexpr unsigned long kSharingViolation = 32;
constexpr unsigned long kLockViolation = 33;
constexpr unsigned long kHandleDiskFull = 39;
constexpr unsigned long kFileExists = 80;
constexpr unsigned long kDiskFull = 112;
constexpr unsigned long kInvalidName = 123;
constexpr unsigned long kAlreadyExists = 183;
constexpr unsigned long kFilenameTooLong = 206;
constexpr unsigned long kDeviceRemoved = 1617;

}  // namespace

std::wstring FileErrorReason(unsigned long code)
{
    switch (code) {
    case kFileNotFound:
    case kPathNotFound: return L"Le dossier n'existe pas.";
    case kAccessDenied: return L"Acc\u00e8s refus\u00e9 (dossier en lecture seule ou droits insuffisants).";
    case kWriteProtect: return L"Le support est prot\u00e9g\u00e9 en \u00e9criture.";
    case kNotReady:
    case kDeviceRemoved: return L"Le lecteur n'est pas disponible.";
    case kSharingViolation:
    case kLockViolation: return L"Le fichier est utilis\u00e9 par un autre programme.";
    case kHandleDiskFull:
    case kDiskFull: return L"Le disque est plein.";
    case kFileExists:
    case kAlreadyExists: return L"Aucun nom libre pour ce fichier.";
    case kInvalidName: return L"Le nom de fichier n'est pas valide.";
    case kFilenameTooLong: return L"Le chemin est trop long.";
    default: return L"Erreur syst\u00e8me " + std::to_wstring(code) + L".";
    }
}
