// The publisher's credits and addresses, shown by the closing screen and the information window.
#pragma once

#include <QString>

namespace shell::credits {

inline const QString kPublishingOffice = QStringLiteral("Ufficio Pubblicazioni della Regione Sorvane");
inline const QString kPublisher = QStringLiteral("REGIONE SORVANE");
inline const QString kDirectorate = QStringLiteral("Direzione Territorio e Ambiente");
inline const QString kDepartment = QStringLiteral("Dipartimento di Meteorologia e Climatologia");
inline const QString kDirectorateAndDepartment =
    QStringLiteral("Direzione Territorio e Ambiente - Dipartimento di Meteorologia e Climatologia");
inline const QString kDirector = QStringLiteral("Direttore: dott. Arrigo Valdesi");
inline const QString kDepartmentHead =
    QStringLiteral("Responsabile del Dipartimento: dott.ssa Lorenza Castrignani");
inline const QString kProcessing =
    QStringLiteral("Elaborazione dei dati: Centro Elaborazione Dati Ambientali di Castelmora");
inline const QString kEditors = QStringLiteral("Coordinamento editoriale: Marta Beltrandi, Sergio Olmeda");
inline const QString kSoftware = QStringLiteral("Progettazione del software: ing. Paolo Ferrandi");
inline const QString kContributors = QStringLiteral(
    "Hanno collaborato: Giulia Arnaldi, Carlo Bressan, Luca Dorighi, Franca Malvezzi, Renzo Tonini");
inline const QString kStreet = QStringLiteral("Via dei Tigli, 14");
inline const QString kCity = QStringLiteral("47990 Castelmora");
inline const QString kStreetAndCity = QStringLiteral("Via dei Tigli, 14 - 47990 Castelmora");
inline const QString kPhone = QStringLiteral("Tel. 0555 412300 - Fax 0555 412399");
inline const QString kPhoneLine = QStringLiteral("Tel. 0555 412300");
inline const QString kMail = QStringLiteral("E-mail: meteo@regionesorvane.example");
inline const QString kWeb = QStringLiteral("www.meteo.regionesorvane.example");

}  // namespace shell::credits
