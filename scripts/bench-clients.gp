# Calls per second of 1, 2, 4 and 8 clients, Quillet beside the floor.
# Columns of `data`: clients, then per backend (PostgreSQL, SQLite) issues on
# one rule, on eight rules, floor on one row, on eight rows.
set terminal svg size 900,420 font "sans,11" background "white"
set output out
set multiplot layout 1,2
set xlabel "clients"
set ylabel "calls per second"
set logscale x 2
set xtics (1, 2, 4, 8)
set yrange [0:*]
set key top left font ",9"
set grid ytics
set title "PostgreSQL"
plot data using 1:2 with linespoints title "getSNumber, one rule", \
     data using 1:3 with linespoints title "getSNumber, eight rules", \
     data using 1:4 with linespoints dashtype 2 title "floor, one row", \
     data using 1:5 with linespoints dashtype 2 title "floor, eight rows"
set title "SQLite"
plot data using 1:6 with linespoints title "getSNumber, one rule", \
     data using 1:7 with linespoints title "getSNumber, eight rules", \
     data using 1:8 with linespoints dashtype 2 title "floor, one row", \
     data using 1:9 with linespoints dashtype 2 title "floor, eight rows"
unset multiplot
