# Sourced by the benchmark scripts: writes the default scenario of MODEL
# (14 weekly spray dates from 1 June of last year at 10:00, Chlorpyrifos, the
# sample weather of ROOT/input) as a scenario file named NAME to FILE.
# usage: write_default_scenario FILE MODEL NAME   (ROOT set by the caller)
write_default_scenario() {
  local file="$1" model="$2" name="$3" year dates="" d w
  year=$(( $(date +%Y) - 1 ))
  for w in $(seq 0 13); do
    d=$(date -u -d "$year-06-01 +$((7 * w)) days" +%Y-%m-%d)
    dates+="${dates:+, }\"$d 10:00\""
  done
  cat > "$file" <<JSON
{ "name": "$name", "model": "$model", "chemical": "Chlorpyrifos", "spray_dates": [ $dates ],
  "weather": { "wind_speed": "$ROOT/input/wind.txt", "wind_direction": "$ROOT/input/winddir.txt",
               "temperature": "$ROOT/input/temp.txt", "rainfall": "$ROOT/input/rain.txt",
               "humidity": "$ROOT/input/Humi.txt" } }
JSON
}
