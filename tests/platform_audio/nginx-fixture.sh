#!/usr/bin/env bash
# Starts or stops an nginx serving the test media for test programs that cannot spawn one
# (the Windows build, run under Wine):  start FOLDER MEDIA  |  stop FOLDER
# FOLDER/port holds the port. The locations are NginxServerPosix.cpp's, and also
# /tls/NAME, a 302 to NAME over https on the next port (where /text/numbers.txt is text).
set -euo pipefail
action=$1 folder=$2

if [ "$action" = stop ]; then
  if [ -f "$folder/nginx.pid" ]; then
    pid=$(cat "$folder/nginx.pid")
    kill "$pid" 2> /dev/null || true
    for _ in $(seq 50); do kill -0 "$pid" 2> /dev/null || break; sleep 0.1; done
  fi
  rm -rf "$folder"
  exit 0
fi

root=$3
rm -rf "$folder"
mkdir -p "$folder/text"
# https: a certificate for localhost from an authority of the run's own, trusted by nothing.
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Tunora test authority" \
  -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign" \
  -keyout "$folder/ca.key" -out "$folder/ca.pem" 2> /dev/null
openssl req -newkey rsa:2048 -nodes -subj "/CN=localhost" \
  -keyout "$folder/server.key" -out "$folder/server.csr" 2> /dev/null
printf 'subjectAltName=DNS:localhost\nextendedKeyUsage=serverAuth\n' > "$folder/server.ext"
openssl x509 -req -days 2 -in "$folder/server.csr" -CA "$folder/ca.pem" -CAkey "$folder/ca.key" \
  -CAcreateserial -extfile "$folder/server.ext" -out "$folder/server.pem" 2> /dev/null
# A text body for clients that read text: the numbers 1 to 20000, one a line.
seq 1 20000 > "$folder/text/numbers.txt"
# A port taken between our pick and nginx's bind makes nginx exit at once: pick again.
for _ in 1 2 3 4 5; do
  port=$((20000 + RANDOM % 40000))
  tlsport=$((port + 1))
  cat > "$folder/nginx.conf" <<CONF
master_process off;
pid $folder/nginx.pid;
error_log $folder/error.log;
events { worker_connections 64; }
http {
  access_log off;
  client_body_temp_path $folder/body;
  proxy_temp_path $folder/proxy;
  fastcgi_temp_path $folder/fastcgi;
  uwsgi_temp_path $folder/uwsgi;
  scgi_temp_path $folder/scgi;
  types { audio/mpeg mp3; audio/ogg ogg; audio/wav wav; }
  server {
    listen 127.0.0.1:$port;
    root $root;
    location /slow/ { alias $root/; limit_rate_after 8k; limit_rate 20k; }
    location /slower/ { alias $root/; limit_rate_after 4k; limit_rate 10k; }
    location /norange/ { alias $root/; max_ranges 0; }
    location /slownorange/ { alias $root/; max_ranges 0; limit_rate_after 8k; limit_rate 20k; }
    location ~ ^/moved/(.*)\$ { return 302 /\$1; }
    location ~ ^/ftp/(.*)\$ { return 302 ftp://127.0.0.1/\$1; }
    location ~ ^/tls/(.*)\$ { return 302 https://localhost:$tlsport/\$1; }
  }
  server {
    listen 127.0.0.1:$tlsport ssl;
    ssl_certificate $folder/server.pem;
    ssl_certificate_key $folder/server.key;
    root $root;
    location /text/ { alias $folder/text/; }
  }
}
CONF
  # nginx detaches; its output must not keep ctest waiting.
  if /usr/sbin/nginx -q -p "$folder" -c "$folder/nginx.conf" < /dev/null > /dev/null 2>> "$folder/start.log"; then
    echo "$port" > "$folder/port"
    exit 0
  fi
done
cat "$folder/start.log" >&2
exit 1
