#include "platform/platform.h"

const char* pictureName(Picture picture) {
    switch (picture) {
    case Picture::SitaHu0:
        return "SITA_HU_0";
    case Picture::SitaHu1:
        return "SITA_HU_1";
    case Picture::SitaKyou0:
        return "SITA_KYOU_0";
    case Picture::SitaKyou1:
        return "SITA_KYOU_1";
    case Picture::SitaKei0:
        return "SITA_KEI_0";
    case Picture::SitaKei1:
        return "SITA_KEI_1";
    case Picture::SitaGin0:
        return "SITA_GIN_0";
    case Picture::SitaGin1:
        return "SITA_GIN_1";
    case Picture::SitaKin:
        return "SITA_KIN";
    case Picture::SitaKaku0:
        return "SITA_KAKU_0";
    case Picture::SitaKaku1:
        return "SITA_KAKU_1";
    case Picture::SitaSya0:
        return "SITA_SYA_0";
    case Picture::SitaSya1:
        return "SITA_SYA_1";
    case Picture::SitaOu:
        return "SITA_OU";
    case Picture::KaraMasu:
        return "KARA_MASU";
    case Picture::KaraMasu2:
        return "KARA_MASU2";
    case Picture::Kovalt:
        return "KOVALT";
    case Picture::Haikei:
        return "HAIKEI";
    }
    return "";
}
