// A synthetic line of 1000000 m with curves, gradients, mountains, boards, stations, signals
// and slowdowns along its whole length, for measuring the compile at the largest size.
#ifndef GS_BENCH_SINTETICO_H
#define GS_BENCH_SINTETICO_H

#include <string>

namespace gs::bench {

inline std::string linea_sintetica() {
  std::string s =
      "[generale]\r\nlunghezza percorso,    1000000\r\n"
      "progressiva chilometrica uno,    0,    1000000,    1\r\n"
      "ripetizione segnali 4 codici,    0    ,0\r\n[curve]\r\n";
  for (int x = 1000; x + 400 < 1000000; x += 1000) {
    const char* tipo =
        (x / 1000) % 3 == 0 ? "curvas5" : ((x / 1000) % 3 == 1 ? "curvad6" : "curvad4");
    s += std::string(tipo) + ",  " + std::to_string(x) + ",  300\r\n";
  }
  s += "[pendenze]\r\n";
  for (int x = 0; x < 1000000; x += 250) {
    const int g = ((x / 250) % 45) - 22;
    s += "pendenza,  " + std::to_string(x) + ",   " + std::to_string(g) + "\r\n";
  }
  s += "[montagne]\r\n";
  for (int k = 0; k < 80; ++k) {
    const int x = 5000 + k * 12000;
    s += "montagna,   " + std::to_string(x) + ",  " + std::to_string(x + 2000) + ",  " +
         (k % 2 ? "11" : "1") + "\r\n";
  }
  s += "[cartelli]\r\n";
  for (int k = 0; k < 40; ++k) {
    s += "indicatori_vmax,  " + std::to_string(1150 + k * 25000) +
         ",  90,  95,  95,  0,  ,  ,  ,  0\r\n";
  }
  s += "[indicazioni]\r\n";
  for (int k = 0; k < 30; ++k) {
    s += "cartello_indicatore,  " + std::to_string(3650 + k * 33000) +
         ",   (GALLERIA        )(NUMERO " + std::to_string(k) + "       )(Mt.100 Km.1+000)\r\n";
  }
  return s + "[fine]\r\n";
}

inline std::string treno_sintetico() {
  std::string s =
      "[generale]\r\nnumero vetture,    10\r\npercentuale massa frenata,    125\r\n"
      "sabbia,    300\r\norologio,    5               26            0 \r\n[aderenze]\r\n";
  for (int x = 0; x < 1000000; x += 20000)
    s += "aderenza,  " + std::to_string(x) + ",    " + std::to_string(80 + (x / 20000) % 15) +
         "\r\n";
  s += "[vel_limite]\r\n";
  for (int x = 0; x < 1000000; x += 7000)
    s += "velocita,  " + std::to_string(x) + ",    " + std::to_string(60 + 5 * ((x / 7000) % 13)) +
         "\r\n";
  s += "[stazioni]\r\n";
  for (int k = 0; k < 46; ++k) {
    s += "stazione,  " + std::to_string(k * 21700) +
         ", 12,  600,  0, 0, 0,  1,1,0,  4,1,1,  115,   " + std::to_string(5 + k / 10) + ", " +
         std::to_string(k % 60) + ", 0, STAZIONE " + std::to_string(k + 1) + "\r\n";
  }
  s += "[rallentamenti]\r\n";
  for (int k = 0; k < 19; ++k)
    s += "rallentamento,  " + std::to_string(40450 + k * 50000) + ",    " + (k % 2 ? "30" : "120") +
         ",  400, 1,  1,  0\r\n";
  s += "[segnali]\r\n";
  for (int x = 2600; x < 1000000; x += 1600) {
    // Keep signals clear of the stations' stop cells and of the slowdowns' cells.
    const int dalla_stazione = x % 21700;
    const int dal_rallentamento = (x - 40450 + 50000 * 20) % 50000;
    if (dalla_stazione < 1000 || dalla_stazione > 20700) continue;
    if (dal_rallentamento < 800 || dal_rallentamento > 50000 - 1700) continue;
    const int sx = (x / 1600) % 2 + 1;
    s += "segnale,  " + std::to_string(x) + ",   " + std::to_string(sx) +
         ", 3, 0,  0, 0,    0,  0,0,0, 0\r\n";
  }
  return s + "[codici]\r\n[fine]\r\n";
}

}  // namespace gs::bench

#endif  // GS_BENCH_SINTETICO_H
