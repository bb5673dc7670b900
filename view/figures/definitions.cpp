#include "view/figures/definitions.h"

namespace zoneloads {
namespace view {

const char kCaveat[] =
    "ATENCI\u00d3N: los valores son orientativos de potencias sensibles. NO sirven como c\u00e1lculo de cargas.";

// Made on first use, not before main.
const std::vector<Definition>& definitions() {
    static const std::vector<Definition> all = {
        {"Punta",
         "El mayor valor horario de la carga: de refrigeraci\u00f3n, el mayor Qs por encima de 0; de "
         "calefacci\u00f3n, el Qs m\u00e1s negativo, dado como su magnitud. Con su fecha, la de la primera hora en "
         "que se alcanza."},
        {"Energ\u00eda",
         "La suma de las potencias horarias, cada hora una hora, en kWh: la de refrigeraci\u00f3n, de las horas con "
         "Qs por encima de 0; la de calefacci\u00f3n, la magnitud de las horas con Qs por debajo de 0."},
        {"Suma de zonas",
         "Del edificio, la suma de lo que cada zona necesita por separado: la calefacci\u00f3n y la "
         "refrigeraci\u00f3n de cada zona, cada una en sus horas, como las entregan los terminales de las zonas."},
        {"Neta del edificio",
         "Del edificio, su carga neta: las cargas de todas las zonas sumadas hora a hora antes de separar "
         "calefacci\u00f3n y refrigeraci\u00f3n, lo que ve una central de producci\u00f3n. No pasa de la suma de "
         "zonas; la diferencia es lo que unas zonas calientan mientras otras enfr\u00edan."},
        {"Suma de las puntas de las zonas",
         "La suma de las puntas de todas las zonas, cada una en su hora: la punta no simult\u00e1nea."},
        {"Factor de simultaneidad",
         "La punta del edificio (la de su carga neta, simult\u00e1nea) sobre la suma de las puntas de las zonas, "
         "en %, de refrigeraci\u00f3n y de calefacci\u00f3n: la fracci\u00f3n de la suma que dimensiona la "
         "central. Sin valor cuando las zonas no tienen esa punta."},
        {"Calefacci\u00f3n y refrigeraci\u00f3n simult\u00e1neas",
         "En cada hora, la parte de la carga en que unas zonas se enfr\u00edan mientras otras se calientan: la "
         "menor entre la suma de las cargas por encima de 0 y la magnitud de la suma de las cargas por debajo. Lo "
         "que un sistema de recuperaci\u00f3n podr\u00eda llevar de unas zonas a otras en lugar de producirlo."},
        {"Tolerancia",
         "Lo que Treal puede pasar de Tmax, o quedar por debajo de Tmin, sin que la hora cuente fuera de consigna "
         "(0,2 K si no se indica otra con --tolerancia): una simulaci\u00f3n mantiene la consigna con el error de "
         "su paso, y ese ruido no es disconfort. Una hora justo en Tmax + tolerancia est\u00e1 dentro."},
        {"Horas fuera de consigna",
         "Las horas de una zona con Treal por encima de Tmax, o por debajo de Tmin, en m\u00e1s que la "
         "tolerancia. En la fila TOTAL, las de la zona con m\u00e1s horas fuera de consigna, no las del "
         "edificio."},
        {"Grados-hora",
         "La suma, sobre las horas fuera de consigna, de lo que Treal pasa de la consigna (no de la tolerancia), "
         "en K\u00b7h. En la fila TOTAL, los de la zona con m\u00e1s horas fuera de consigna."},
        {"Horas-zona",
         "Las horas fuera de consigna de todas las zonas sumadas: una hora en que tres zonas est\u00e1n fuera "
         "cuenta tres horas-zona. En la fila TOTAL, las de todas las zonas del edificio."},
        {"Signos",
         "Qs es la carga sensible que hay que dar a la zona, como la escribe el informe: por encima de 0, "
         "refrigeraci\u00f3n; por debajo, calefacci\u00f3n. Las puntas, energ\u00edas y comparaciones de "
         "calefacci\u00f3n se dan como magnitudes, rotuladas calefacci\u00f3n; las series horarias conservan el "
         "signo del informe (calefacci\u00f3n < 0), y los CSV, los signos y los nombres del informe."},
        {"Horas y fechas",
         "Una hora se nombra por su comienzo: \u00ab17 jul 13:00\u00bb es la hora de las 13:00 a las 14:00. Las "
         "fechas son de un a\u00f1o de 365 d\u00edas, sin a\u00f1o concreto: la hora h del a\u00f1o (0 a 8759) "
         "empieza el d\u00eda h / 24 a las h mod 24 horas."},
        {"Zona",
         "Una zona de un fichero de resultados se nombra por su n\u00famero, como lo lista zoneloads (\u00ab3 "
         "\u00b7 P00 Z03 Aseo\u00bb, desde 0); la de un informe, que no guarda esos n\u00fameros, por su bloque "
         "en el informe (\u00abbloque 4 \u00b7 P00 Z03 Aseo\u00bb, desde 1)."},
    };
    return all;
}

}  // namespace view
}  // namespace zoneloads
