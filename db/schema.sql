-- The database of zapisnik: competitions, categories, districts, municipalities
-- (fire brigades) and start lists with their measured times.
-- Load it once into the server:  mariadb -uroot < db/schema.sql
-- Table names are lower case; the programs spell them so, whatever the server's
-- lower_case_table_names.
-- Every time, result, placing and split column starts as the empty string.
-- Names sort in Czech order (ch after h) and compare without regard to case but with their
-- accents: "Chýnov" and "Chynov" are two places (MariaDB 10.10 or later).

CREATE DATABASE IF NOT EXISTS myqx
  CHARACTER SET utf8mb4 COLLATE utf8mb4_uca1400_czech_as_ci;
USE myqx;

CREATE TABLE IF NOT EXISTS katqx (
  id        INT UNSIGNED NOT NULL AUTO_INCREMENT,
  kategorie VARCHAR(60) NOT NULL DEFAULT '',
  zkratka   VARCHAR(5)  NOT NULL DEFAULT '',
  PRIMARY KEY (id)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_uca1400_czech_as_ci;

CREATE TABLE IF NOT EXISTS okresyqx (
  id           INT UNSIGNED NOT NULL AUTO_INCREMENT,
  nazev_okresu VARCHAR(50) NOT NULL DEFAULT '',
  PRIMARY KEY (id),
  UNIQUE KEY nazev_okresu (nazev_okresu)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_uca1400_czech_as_ci;

CREATE TABLE IF NOT EXISTS obceqx (
  id           INT UNSIGNED NOT NULL AUTO_INCREMENT,
  nazev_okresu VARCHAR(50) NOT NULL DEFAULT '',
  nazev_obce   VARCHAR(50) NOT NULL DEFAULT '',
  PRIMARY KEY (id),
  KEY okres_obec (nazev_okresu, nazev_obce)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_uca1400_czech_as_ci;

CREATE TABLE IF NOT EXISTS soutezeqx (
  id             INT UNSIGNED NOT NULL AUTO_INCREMENT,
  nazev_souteze  VARCHAR(60) NOT NULL DEFAULT '',
  nazev_okresu   VARCHAR(50) NOT NULL DEFAULT '',
  nazev_obce     VARCHAR(50) NOT NULL DEFAULT '',
  datum          CHAR(8)     NOT NULL DEFAULT '',
  cas            VARCHAR(5)  NOT NULL DEFAULT '',
  telefon        VARCHAR(9)  NOT NULL DEFAULT '',
  web_poradatele VARCHAR(50) NOT NULL DEFAULT '',
  PRIMARY KEY (id),
  KEY datum (datum)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_uca1400_czech_as_ci;

CREATE TABLE IF NOT EXISTS druzstvaqx (
  id           INT UNSIGNED NOT NULL AUTO_INCREMENT,
  id_soutez    INT UNSIGNED NOT NULL DEFAULT 0,
  poradi       VARCHAR(5)  NOT NULL DEFAULT '',
  nazev_dr     VARCHAR(50) NOT NULL DEFAULT '',
  nazev_okresu VARCHAR(50) NOT NULL DEFAULT '',
  tym          VARCHAR(10) NOT NULL DEFAULT '',
  kategorie    VARCHAR(60) NOT NULL DEFAULT '',
  draha        VARCHAR(10) NOT NULL DEFAULT '',
  cas1R        VARCHAR(20) NOT NULL DEFAULT '',
  cas1C        VARCHAR(20) NOT NULL DEFAULT '',
  cas2R        VARCHAR(20) NOT NULL DEFAULT '',
  cas2C        VARCHAR(20) NOT NULL DEFAULT '',
  cas1S        VARCHAR(20) NOT NULL DEFAULT '',
  cas2S        VARCHAR(20) NOT NULL DEFAULT '',
  celkem       VARCHAR(20) NOT NULL DEFAULT '',
  pozice       VARCHAR(10) NOT NULL DEFAULT '',
  M1           CHAR(255)   NOT NULL DEFAULT '',
  M2           CHAR(255)   NOT NULL DEFAULT '',
  M3           CHAR(255)   NOT NULL DEFAULT '',
  M4           CHAR(255)   NOT NULL DEFAULT '',
  PRIMARY KEY (id),
  KEY id_soutez (id_soutez)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_uca1400_czech_as_ci;

-- Change counters: one row per competition (id_soutez; its start list, times, results and
-- placings) and the row 0 for the registers all competitions share (competitions, categories,
-- municipalities). Every write of zapisnik raises its counter in the same transaction; the other
-- computers read the two counters they need once a second and reload what changed. zapisnik
-- creates the table itself when it is missing.
CREATE TABLE IF NOT EXISTS citaceqx (
  id_soutez INT UNSIGNED    NOT NULL,
  citac     BIGINT UNSIGNED NOT NULL DEFAULT 0,
  PRIMARY KEY (id_soutez)
) ENGINE=InnoDB;

-- The districts of the Czech Republic.
INSERT IGNORE INTO okresyqx (nazev_okresu) VALUES
  ('Benešov'), ('Beroun'), ('Blansko'), ('Brno-město'), ('Brno-venkov'),
  ('Bruntál'), ('Břeclav'), ('Česká Lípa'), ('České Budějovice'),
  ('Český Krumlov'), ('Děčín'), ('Domažlice'), ('Frýdek-Místek'),
  ('Havlíčkův Brod'), ('Hodonín'), ('Hradec Králové'), ('Cheb'), ('Chomutov'),
  ('Chrudim'), ('Jablonec nad Nisou'), ('Jeseník'), ('Jičín'), ('Jihlava'),
  ('Jindřichův Hradec'), ('Karlovy Vary'), ('Karviná'), ('Kladno'),
  ('Klatovy'), ('Kolín'), ('Kroměříž'), ('Kutná Hora'), ('Liberec'),
  ('Litoměřice'), ('Louny'), ('Mělník'), ('Mladá Boleslav'), ('Most'),
  ('Náchod'), ('Nový Jičín'), ('Nymburk'), ('Olomouc'), ('Opava'),
  ('Ostrava-město'), ('Pardubice'), ('Pelhřimov'), ('Písek'), ('Plzeň-jih'),
  ('Plzeň-město'), ('Plzeň-sever'), ('Praha'), ('Praha-východ'),
  ('Praha-západ'), ('Prachatice'), ('Prostějov'), ('Přerov'), ('Příbram'),
  ('Rakovník'), ('Rokycany'), ('Rychnov nad Kněžnou'), ('Semily'),
  ('Sokolov'), ('Strakonice'), ('Svitavy'), ('Šumperk'), ('Tábor'),
  ('Tachov'), ('Teplice'), ('Trutnov'), ('Třebíč'), ('Uherské Hradiště'),
  ('Ústí nad Labem'), ('Ústí nad Orlicí'), ('Vsetín'), ('Vyškov'), ('Zlín'),
  ('Znojmo'), ('Žďár nad Sázavou');

-- The history of stored values: every change of a time (cas1R .. cas2S), split (M1 .. M4),
-- result (celkem) or placing (pozice) with the value before and after, the server's time, the
-- cause ('ulozeni' a saved received time, 'prepocet' a recomputation or re-ranking, 'rucne' a
-- typed time or saved splits) and the computer that stored it. Written in the transaction of the
-- change itself. zapisnik creates the table when an older database lacks it.
CREATE TABLE IF NOT EXISTS zmenyqx (
  id          INT UNSIGNED NOT NULL AUTO_INCREMENT,
  id_soutez   INT UNSIGNED NOT NULL DEFAULT 0,
  id_druzstva INT UNSIGNED NOT NULL DEFAULT 0,
  cas         DATETIME(3)  NOT NULL,
  sloupec     VARCHAR(10)  NOT NULL DEFAULT '',
  stara       VARCHAR(255) NOT NULL DEFAULT '',
  nova        VARCHAR(255) NOT NULL DEFAULT '',
  pricina     VARCHAR(10)  NOT NULL DEFAULT '',
  pocitac     VARCHAR(64)  NOT NULL DEFAULT '',
  PRIMARY KEY (id),
  KEY soutez (id_soutez, id),
  KEY druzstvo (id_druzstva, id)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_uca1400_czech_as_ci;
