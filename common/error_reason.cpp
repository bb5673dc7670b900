// The Spanish words for a system error (platform.h), the same on every
// system: errno values, and the one of a file in use that Windows adds.
#include "common/platform.h"

#include <cerrno>
#include <string>

namespace zoneloads {

std::string errorReason(int error) {
    switch (error) {
        case EACCES:
        case EPERM: return "permiso denegado";
        case ENOENT: return "no existe la carpeta o el fichero";
        case ENOTDIR: return "una parte de la ruta no es una carpeta";
        case EISDIR: return "es una carpeta";
        case ENOSPC: return "disco lleno";
        case EFBIG: return "fichero demasiado grande";
        case EROFS: return "sistema de ficheros de solo lectura";
        case ENAMETOOLONG: return "nombre demasiado largo";
        case EEXIST: return "ya existe";
        case EIO: return "error de entrada/salida";
        case EPIPE: return "el lector de la tuber\u00eda se ha ido";
        case EBADF: return "la salida est\u00e1 cerrada";
        case EMFILE:
        case ENFILE: return "demasiados ficheros abiertos";
        case ENOMEM: return "sin memoria";
        // What Windows' C library says of a write to a pipe whose reader has gone, among others.
        case EINVAL: return "operaci\u00f3n no v\u00e1lida";
        case kErrorFileInUse: return "abierto en otro programa";
        case ENXIO: return "dispositivo no disponible";
#if defined(EDQUOT)
        case EDQUOT: return "cuota de disco agotada";
#endif
#if defined(ELOOP)
        case ELOOP: return "demasiados enlaces simb\u00f3licos";
#endif
        default: return "error del sistema " + std::to_string(error);
    }
}

}  // namespace zoneloads
